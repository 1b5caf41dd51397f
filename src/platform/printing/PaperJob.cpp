#include "platform/printing/PaperJob.h"

#include "platform/printing/PageLayout.h"
#include "platform/printing/PageRaster.h"
#include "platform/printing/PrinterAttributes.h"
#include "platform/printing/PrinterConnection.h"

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace platform {

namespace {

// Seconds a busy printer is given to take a job: a photo print takes about a minute.
constexpr int kBusyAttempts = 90;

// Enough for a photo's detail at its own size; more only makes the document larger.
constexpr int kPreferredDotsPerInch = 300;

bool has(const std::vector<std::string>& values, const std::string& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

int chosenResolution(const std::vector<int>& offered) {
    if (offered.empty())
        return kPreferredDotsPerInch;
    int best = offered.front();
    for (int dpi : offered) {
        if (std::abs(dpi - kPreferredDotsPerInch) < std::abs(best - kPreferredDotsPerInch))
            best = dpi;
    }
    return best;
}

} // namespace

PaperJob::Sent PaperJob::send(const Image& print, const Options& options) {
    Sent sent;
    auto connection = PrinterConnection::open(options.printer, sent.error);
    if (!connection)
        return sent;
    const auto printer = PrinterAttributes::query(*connection, sent.error);
    if (!printer)
        return sent;
    sent.printerReasons = printer->stateReasons;
    const auto media = MediaSize::photoMedia(printer->mediaSupported, printer->mediaDefault);
    if (!media) {
        sent.error = "the printer names no paper size";
        return sent;
    }
    sent.media = media->name;
    const bool colour = has(printer->colorModes, "color") || has(printer->rasterTypes, "srgb_8");
    const bool raster = printer->takes("image/pwg-raster");
    if (!raster && !printer->takes("image/jpeg")) {
        sent.error = "the printer takes neither PWG raster nor JPEG documents";
        return sent;
    }
    const int dpi = raster ? chosenResolution(printer->rasterResolutions) : kPreferredDotsPerInch;
    const ImageRef page = PageRaster::draw(print, PageLayout::forMedia(*media, dpi));
    if (!page) {
        sent.error = "the sheet could not be drawn";
        return sent;
    }
    std::string document;
    if (raster) {
        const std::string type =
            colour && (printer->rasterTypes.empty() || has(printer->rasterTypes, "srgb_8"))
                ? "srgb_8"
                : "sgray_8";
        document = PageRaster::pwgRaster(*page, media->name, type, dpi);
        sent.format = "image/pwg-raster";
    } else {
        const auto jpeg = page->jpegData(0.95);
        document.assign(jpeg.begin(), jpeg.end());
        sent.format = "image/jpeg";
    }
    if (document.empty()) {
        sent.error = "the sheet could not be made into a " + sent.format + " document";
        return sent;
    }

    // A printer without a queue of its own turns a job away while it prints the last one;
    // the job is offered again until it is taken, for as long as a print takes.
    ipp_t* answer = nullptr;
    for (int attempt = 0; !answer; ++attempt) {
        answer =
            connection->send(printJob(*connection, *printer, sent, media->name, colour, options),
                             sent.error, document);
        if (answer || !connection->wasBusy() || attempt >= kBusyAttempts)
            break;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        connection = PrinterConnection::open(options.printer, sent.error);
        if (!connection)
            return sent;
    }
    if (!answer)
        return sent;
    if (ipp_attribute_t* id = ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER))
        sent.jobId = ippGetInteger(id, 0);
    if (sent.jobId == 0)
        sent.error = "the printer gave the job no number";
    ippDelete(answer);
    return sent;
}

ipp_t* PaperJob::printJob(PrinterConnection& connection, const PrinterAttributes& printer,
                          const Sent& sent, const std::string& media, bool colour,
                          const Options& options) {
    ipp_t* request = connection.newRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 options.jobName.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 sent.format.c_str());
    ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "media", nullptr, media.c_str());
    if (!printer.colorModes.empty())
        ippAddString(request, IPP_TAG_JOB, IPP_TAG_KEYWORD, "print-color-mode", nullptr,
                     colour ? "color" : "monochrome");
    const int quality = options.highQuality ? IPP_QUALITY_HIGH : IPP_QUALITY_NORMAL;
    if (std::find(printer.qualities.begin(), printer.qualities.end(), quality) !=
        printer.qualities.end())
        ippAddInteger(request, IPP_TAG_JOB, IPP_TAG_ENUM, "print-quality", quality);
    return request;
}

PaperJob::Status PaperJob::status(const std::string& printer, int jobId) {
    Status status;
    auto connection = PrinterConnection::open(printer, status.error);
    if (!connection)
        return status;
    ipp_t* request = connection->newRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ipp_t* answer = connection->send(request, status.error);
    if (!answer)
        return status;
    if (ipp_attribute_t* state = ippFindAttribute(answer, "job-state", IPP_TAG_ENUM))
        status.state = ippGetInteger(state, 0);
    if (ipp_attribute_t* reasons = ippFindAttribute(answer, "job-state-reasons", IPP_TAG_KEYWORD)) {
        for (int i = 0; i < ippGetCount(reasons); ++i)
            status.reasons.emplace_back(ippGetString(reasons, i, nullptr));
    }
    ippDelete(answer);
    // A job waits on the printer's own trouble (no paper, a jam); that is what to say.
    if (!status.isFinal()) {
        std::string ignored;
        if (const auto attributes = PrinterAttributes::query(*connection, ignored))
            status.reasons.insert(status.reasons.end(), attributes->stateReasons.begin(),
                                  attributes->stateReasons.end());
    }
    return status;
}

std::string PaperJob::reasonText(const std::vector<std::string>& reasons) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"media-empty", "Out of paper"},
        {"media-needed", "Out of paper"},
        {"media-jam", "Paper jam"},
        {"offline", "Printer offline"},
        {"shutdown", "Printer offline"},
        {"timed-out", "Printer offline"},
        {"paused", "Printer paused"},
        {"printer-stopped", "Printer paused"},
        {"door-open", "Printer door open"},
        {"cover-open", "Printer cover open"},
        {"marker-supply-empty", "Out of ink"},
        {"toner-empty", "Out of ink"},
        {"document-format-error", "The printer refused the picture"},
        {"job-canceled-by-user", "Print canceled"},
        {"job-canceled-at-device", "Print canceled"},
        {"aborted-by-system", "Print failed"},
    };
    for (const auto& reason : reasons) {
        // "-warning" and "-report" are for information; only "-error" or a bare reason stops.
        if (reason.ends_with("-warning") || reason.ends_with("-report"))
            continue;
        for (const auto& [keyword, text] : kTexts) {
            if (reason == keyword || reason == std::string(keyword) + "-error")
                return text;
        }
    }
    return {};
}

} // namespace platform
