#include "shell/PrintCommand.h"

#include "capture/PrintComposer.h"
#include "capture/PrintSize.h"
#include "library/RollSquare.h"
#include "shell/PrintWriter.h"

#include "platform/graphics/Image.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Reports as photos finish, from any worker: a bar on a terminal, else a line a photo.
class Progress {
public:
    Progress(std::size_t total, std::ostream& out, std::ostream& err, bool terminal)
        : total_(total), out_(out), err_(err), terminal_(terminal) {}

    void finished(const fs::path& photo, const fs::path& target, const std::string& failure) {
        std::lock_guard lock(mutex_);
        ++done_;
        if (terminal_)
            out_ << "\r\033[K" << std::flush;
        if (!failure.empty())
            err_ << "morvane: " << photo.string() << ": " << failure << "\n" << std::flush;
        else if (!terminal_)
            out_ << photo.string() << " -> " << target.string() << "\n";
        if (terminal_) {
            constexpr std::size_t kWidth = 30;
            const std::size_t filled = total_ ? done_ * kWidth / total_ : kWidth;
            out_ << "[" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] "
                 << done_ << "/" << total_ << (done_ == total_ ? "\n" : "") << std::flush;
        }
    }

private:
    std::mutex mutex_;
    std::size_t total_, done_ = 0;
    std::ostream& out_;
    std::ostream& err_;
    bool terminal_;
};

// A print never replaces a photo the command reads, under whatever name either is reached
// (the same folder, "..", a hard link): the file itself is compared, not its name. Such a
// photo is given the reason instead of a print.
void refuseOverwritingPhotos(const std::vector<std::string>& photos,
                             const std::vector<fs::path>& targets,
                             std::vector<std::string>& refusals) {
    std::map<std::pair<dev_t, ino_t>, std::size_t> read;
    struct stat info {};
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (::stat(photos[i].c_str(), &info) == 0)
            read.emplace(std::pair{info.st_dev, info.st_ino}, i);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!refusals[i].empty() || ::stat(targets[i].c_str(), &info) != 0)
            continue;
        const auto hit = read.find(std::pair{info.st_dev, info.st_ino});
        if (hit == read.end())
            continue;
        refusals[i] = hit->second == i ? "its print would replace the photo itself"
                                       : "its print would replace " + photos[hit->second] +
                                             ", which is being printed too";
    }
}

} // namespace

CLI::App* PrintCommand::addTo(CLI::App& app, Options& options) {
    CLI::App* print =
        app.add_subcommand("print", "Make prints from photo files, as the library button does, "
                                    "one JPEG file each in the --out folder");
    print->fallthrough();
    print->footer(R"(
Each PHOTO gives DIR/<its name>.jpg at full size, made as the library button
makes a print. A file already there is kept unless --force. Neither the
Documents folder nor the photo album is touched.

Exit status: 0 all printed, 1 a photo could not be printed (the others still
are), 2 wrong options.
)");
    print->add_option("photos", options.photos, "Photo files (PNG or JPEG)")
        ->required()
        ->option_text("PHOTO...");
    print->add_option("--out", options.out, "Folder the prints are written to")
        ->required()
        ->option_text("DIR");
    print->add_option("--category", options.category, "Film look, 1 to 10 (default 1)")
        ->check(CLI::Range(1, 10))
        ->option_text("N");
    print->add_option("--frame", options.frame, "Film frame, 0 to 2 (default 0)")
        ->check(CLI::Range(0, 2))
        ->option_text("N");
    print->add_flag("--date", options.date, "Stamp today's date on the prints");
    print->add_flag("--high-quality", options.highQuality,
                    "Full-size prints of 1500 (or 1200) pixels, not 750");
    print->add_option("--jobs", options.jobs, "Photos printed at once (default: one per core)")
        ->check(CLI::Range(1, 256))
        ->option_text("N");
    print->add_flag("--force", options.force, "Replace prints already in the folder");
    return print;
}

fs::path PrintCommand::outputFor(const fs::path& photo, const fs::path& folder) {
    return folder / (photo.stem().string() + ".jpg");
}

PrintInputs PrintCommand::inputsFor(const Options& options, const std::string& platformString) {
    PrintInputs inputs;
    inputs.isHighQuality = options.highQuality;
    inputs.platformString = platformString;
    // The strips' offsets at the pages of the wanted category and frame.
    inputs.categoryOffsetX = 270.0 * (options.category - 1);
    inputs.frameOffsetX = 320.0 * options.frame;
    inputs.canDate = options.date;
    return inputs;
}

platform::ImageRef PrintCommand::makePrint(const fs::path& photo, const PrintInputs& inputs,
                                           int squareSide, std::string& whyNot) {
    // Read past the decoded-picture cache: each photo is read once, and kept it would only
    // push out the film frames every print reads again.
    std::string reason;
    const platform::ImageRef picture = platform::Image::readFile(photo, squareSide, &reason);
    if (!picture) {
        whyNot = reason.empty() ? "not a picture that can be read (PNG or JPEG)" : reason;
        return nullptr;
    }
    const platform::ImageRef square = RollSquare::makeSquare(*picture, squareSide);
    const platform::ImageRef print =
        square ? PrintComposer::libraryFullPrint(*square, inputs) : nullptr;
    if (!print)
        whyNot = "the print could not be made";
    return print;
}

int PrintCommand::run(const Options& options, const std::string& platformString, std::ostream& out,
                      std::ostream& err, bool terminal) {
    const fs::path folder = options.out;
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
        err << "morvane: --out " << options.out << " is not a folder that can be made\n";
        return 2;
    }

    const PrintInputs inputs = inputsFor(options, platformString);
    const int squareSide = PrintSize::librarySquareSide(platformString);

    // Two photos named alike would write the same print: the first one keeps the name.
    const std::size_t count = options.photos.size();
    std::vector<fs::path> targets(count);
    std::vector<std::string> clashes(count);
    std::map<fs::path, std::string> claimed;
    for (std::size_t i = 0; i < count; ++i) {
        targets[i] = outputFor(options.photos[i], folder);
        const auto [it, fresh] = claimed.emplace(targets[i], options.photos[i]);
        if (!fresh)
            clashes[i] = "its print would have the same name as that of " + it->second;
    }

    refuseOverwritingPhotos(options.photos, targets, clashes);

    Progress progress(count, out, err, terminal);
    std::atomic<bool> anyFailed{false};
    auto finished = [&](std::size_t i, const std::string& failure) {
        if (!failure.empty())
            anyFailed = true;
        progress.finished(options.photos[i], targets[i], failure);
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::max<std::size_t>(
        1, std::min<std::size_t>(options.jobs > 0 ? std::size_t(options.jobs) : cores, count));
    std::atomic<std::size_t> next{0};
    {
        // Each maker encodes its print into an encoder of the writer's and goes on with the
        // next photo while the file is written.
        PrintWriter writer(jobs, finished);
        auto work = [&] {
            for (std::size_t i = next++; i < count; i = next++) {
                std::string failure = clashes[i];
                std::error_code missing;
                if (failure.empty() && !options.force &&
                    fs::exists(fs::symlink_status(targets[i], missing)))
                    failure = targets[i].string() + " is already there (--force replaces it)";
                platform::ImageRef print;
                if (failure.empty())
                    print = makePrint(options.photos[i], inputs, squareSide, failure);
                if (!print) {
                    finished(i, failure);
                    continue;
                }
                auto encoder = writer.takeEncoder();
                const auto bytes = encoder->encode(print->data(), print->pixelWidth(),
                                                   print->pixelHeight(), print->stride(), 1.0);
                if (bytes.empty()) {
                    writer.giveBack(std::move(encoder));
                    finished(i, "cannot write " + targets[i].string());
                    continue;
                }
                writer.write(i, targets[i], bytes.data(), bytes.size(), std::move(encoder));
            }
        };
        std::vector<std::thread> workers;
        for (std::size_t j = 1; j < jobs; ++j)
            workers.emplace_back(work);
        work();
        for (auto& worker : workers)
            worker.join();
    }
    return anyFailed ? 1 : 0;
}
