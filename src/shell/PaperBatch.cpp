#include "shell/PaperBatch.h"

#include "platform/graphics/Image.h"
#include "platform/printing/PaperJob.h"
#include "platform/printing/PrinterConnection.h"

bool PaperBatch::send(const std::vector<std::filesystem::path>& prints, const std::string& printer,
                      std::ostream& out, std::ostream& err) {
    bool all = true;
    for (std::size_t i = 0; i < prints.size(); ++i) {
        const auto& path = prints[i];
        const platform::ImageRef print = platform::Image::contentsOfFile(path);
        if (!print) {
            err << "morvane: " << path.string() << ": cannot be read back for paper\n";
            all = false;
            continue;
        }
        platform::PaperJob::Options options;
        options.printer = printer;
        options.jobName = path.filename().string();
        const auto sent = platform::PaperJob::send(*print, options);
        if (sent.jobId > 0) {
            out << "paper: " << path.filename().string() << " is job " << sent.jobId << " on "
                << printer << "\n";
            continue;
        }
        all = false;
        err << "morvane: " << path.filename().string() << " not printed on paper: " << sent.error
            << "\n";
        // One unreachable printer would say the same for every print, slowly.
        if (sent.error.rfind("cannot reach", 0) == 0 || sent.error.rfind("no printer", 0) == 0) {
            if (i + 1 < prints.size())
                err << "morvane: " << prints.size() - i - 1 << " more not sent to paper\n";
            break;
        }
    }
    return all;
}
