#include "shell/PrintCommand.h"

#include "capture/FilmNames.h"
#include "capture/PrintComposer.h"
#include "capture/PrintSize.h"
#include "library/RollSquare.h"
#include "shell/HelpFormatter.h"
#include "shell/PaperBatch.h"
#include "shell/PhotoWalk.h"
#include "shell/PrintJobs.h"
#include "shell/PrintProgress.h"
#include "shell/PrintWriter.h"

#include "platform/graphics/ExifDate.h"
#include "platform/graphics/Image.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A print never replaces a photo the command reads, under whatever name either is reached
// (the same folder, "..", a hard link): the file itself is compared, not its name. Such a
// photo is given the reason instead of a print.
void refuseOverwritingPhotos(const std::vector<PhotoWalk::Photo>& photos,
                             const std::vector<fs::path>& targets,
                             std::vector<std::string>& refusals) {
    std::map<std::pair<dev_t, ino_t>, std::size_t> read;
    struct stat info {};
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (::stat(photos[i].path.c_str(), &info) == 0)
            read.emplace(std::pair{info.st_dev, info.st_ino}, i);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!refusals[i].empty() || ::stat(targets[i].c_str(), &info) != 0)
            continue;
        const auto hit = read.find(std::pair{info.st_dev, info.st_ino});
        if (hit == read.end())
            continue;
        refusals[i] = hit->second == i
                          ? "its print would replace the photo itself"
                          : "its print would replace " + photos[hit->second].path.string() +
                                ", which is being printed too";
    }
}

// The value of --look or --frame, a name or a number, made the number the option holds.
CLI::Validator namedNumber(std::optional<int> (*number)(std::string_view), const char* what,
                           std::string (*list)()) {
    return CLI::Validator(
        [=](std::string& value) -> std::string {
            const auto found = number(value);
            if (!found)
                return value + " is not a " + what + "; the " + what + "s are " + list();
            value = std::to_string(*found);
            return {};
        },
        "", std::string(what) + " name");
}

// Written as paragraphs and wrapped here, so the list of looks can follow their names.
std::string footer() {
    const std::string text =
        "Each PHOTO gives DIR/<its name>.jpg at full size, made as the library button makes "
        "a print. A folder given as a PHOTO gives prints of the JPEG, PNG, HEIC and WebP "
        "files in it, in name order, and with -r of those in its subfolders, each print at the same place "
        "under DIR as its photo under the folder.\n\n"
        "A print already in DIR is kept: the photo is a failure unless --skip-existing (which "
        "makes a stopped batch resume) or --force. Neither the Documents folder nor the photo "
        "album is touched.\n\n"
        "Looks: " +
        FilmNames::lookList() + ".\nFrames: " + FilmNames::frameList() +
        ".\nNames are matched whatever their case: --look sepia, --look bw, --frame film.\n\n"
        "Standard output has one line a print when it is not a terminal, and a last line of "
        "prints made, skipped and failed, and prints a second.\n\n"
        "Exit status: 0 all printed or kept, 1 a photo could not be printed (the others still "
        "are), 2 wrong options.\n";
    return "\n" + HelpFormatter::wrap(text, HelpFormatter::kWidth);
}

// A word after a bare --date that is no WHEN is the photo it stands before: it goes back
// among the photos where it was on the command line.
void takeBackPhoto(const CLI::App& print, const CLI::Option* photos, const CLI::Option* date,
                   PrintCommand::Options& options) {
    const std::vector<std::string>& words = date->results();
    const std::string word = words.empty() ? std::string() : words.back();
    options.date = true;
    options.dateTaken = word == "taken";
    if (word.empty() || word == "today" || word == "taken")
        return;
    std::size_t before = 0;
    for (const CLI::Option* parsed : print.parse_order()) {
        if (parsed == date)
            break;
        before += parsed == photos;
    }
    options.photos.insert(
        options.photos.begin() + std::ptrdiff_t(std::min(before, options.photos.size())), word);
}

} // namespace

CLI::App* PrintCommand::addTo(CLI::App& app, Options& options) {
    CLI::App* print =
        app.add_subcommand("print", "Make prints from photo files, as the library button does, "
                                    "one JPEG file each in the --out folder");
    print->fallthrough();
    print->footer(footer());
    // Not required here: a photo may be the word after --date, which only the callback below
    // gives back.
    CLI::Option* photos =
        print->add_option("photos", options.photos, "Photo files (JPEG, PNG, HEIC or WebP) or folders")
            ->option_text("PHOTO...");
    print->add_option("--out", options.out, "Folder the prints are written to")
        ->required()
        ->option_text("DIR");
    print
        ->add_option("--look,--category", options.category,
                     "Film look by name or number (default 1, Blue)")
        ->transform(namedNumber(&FilmNames::lookNumber, "look", &FilmNames::lookList))
        ->option_text("LOOK");
    print->add_option("--frame", options.frame, "Film frame by name or number (default 0, Square)")
        ->transform(namedNumber(&FilmNames::frameNumber, "frame", &FilmNames::frameList))
        ->option_text("FRAME");
    CLI::Option* date =
        print
            ->add_option("--date", "Stamp today's date on the prints; with taken, the day each "
                                   "photo was taken (its EXIF date, else the file's time)")
            ->expected(0, 1)
            ->option_text("[taken]");
    print->add_flag("-r,--recursive", options.recursive, "Print the subfolders of folders too");
    print->add_flag("--high-quality", options.highQuality,
                    "Full-size prints of 1500 (or 1200) pixels, not 750");
    print
        ->add_option("--jobs", options.jobs,
                     "Photos printed at once (default: one per core, fewer when free memory "
                     "cannot hold them)")
        ->check(CLI::Range(1, 256))
        ->option_text("N");
    print
        ->add_option("--printer", options.printer,
                     "Also send each print made to this printer on paper: a CUPS queue or "
                     "ipp://host:port/path (morvane printers lists them)")
        ->option_text("NAME");
    print->add_flag("--force", options.force, "Replace prints already in the folder");
    print->add_flag("--skip-existing", options.skipExisting,
                    "Keep prints already in the folder and go on with the others");
    print->callback([print, photos, date, &options] {
        if (date->count() > 0)
            takeBackPhoto(*print, photos, date, options);
        if (options.photos.empty())
            throw CLI::RequiredError("PHOTO");
        if (options.force && options.skipExisting)
            throw CLI::ValidationError("--skip-existing",
                                       "it keeps the prints --force replaces: give one of them");
    });
    return print;
}

fs::path PrintCommand::outputFor(const fs::path& photo, const fs::path& folder) {
    return folder / PhotoWalk::printName(photo);
}

bool PrintCommand::isWholeJpeg(const fs::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size < 4)
        return false;
    unsigned char start[2] = {}, end[2] = {};
    in.seekg(0);
    in.read(reinterpret_cast<char*>(start), 2);
    in.seekg(size - 2);
    in.read(reinterpret_cast<char*>(end), 2);
    return in && start[0] == 0xff && start[1] == 0xd8 && end[0] == 0xff && end[1] == 0xd9;
}

std::optional<std::chrono::system_clock::time_point>
PrintCommand::takenDate(const fs::path& photo) {
    if (const auto taken = platform::ExifDate::readFile(photo))
        return taken;
    std::error_code error;
    const auto changed = fs::last_write_time(photo, error);
    if (error)
        return std::nullopt;
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(changed));
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
        whyNot = reason.empty() ? "not a picture that can be read" : reason;
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

    std::vector<PhotoWalk::Refusal> refusals;
    const std::vector<PhotoWalk::Photo> photos =
        PhotoWalk::list(options.photos, options.recursive, folder, refusals);
    for (const auto& refusal : refusals)
        err << "morvane: " << refusal.input << ": " << refusal.reason << "\n";

    const PrintInputs inputs = inputsFor(options, platformString);
    const int squareSide = PrintSize::librarySquareSide(platformString);

    // Two photos named alike would write the same print: the first one keeps the name.
    const std::size_t count = photos.size();
    std::vector<fs::path> targets(count);
    std::vector<std::string> clashes(count);
    std::map<fs::path, fs::path> claimed;
    for (std::size_t i = 0; i < count; ++i) {
        targets[i] = folder / photos[i].print;
        const auto [it, fresh] = claimed.emplace(targets[i].lexically_normal(), photos[i].path);
        if (!fresh)
            clashes[i] = "its print would have the same name as that of " + it->second.string();
        else if (photos[i].print.has_parent_path())
            fs::create_directories(targets[i].parent_path(), error);
    }

    refuseOverwritingPhotos(photos, targets, clashes);

    PrintProgress progress(count, out, err, terminal);
    // One flag a print, each set by the one thread that finished it.
    std::vector<char> made(count, 0);
    auto finished = [&](std::size_t i, const std::string& failure) {
        made[i] = failure.empty();
        if (failure.empty())
            progress.made(photos[i].path, targets[i]);
        else
            progress.failed(photos[i].path, failure);
    };
    std::size_t jobs = options.jobs > 0 ? std::size_t(options.jobs) : 0;
    if (jobs == 0) {
        std::vector<fs::path> paths;
        for (const auto& photo : photos)
            paths.push_back(photo.path);
        jobs = PrintJobs::forPhotos(
            paths, squareSide, PrintSize::forModel(options.highQuality, platformString).printSide);
    }
    jobs = std::max<std::size_t>(1, std::min(jobs, count));
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
                    fs::exists(fs::symlink_status(targets[i], missing))) {
                    if (options.skipExisting && isWholeJpeg(targets[i])) {
                        progress.skipped(photos[i].path, targets[i]);
                        continue;
                    }
                    if (!options.skipExisting)
                        failure = targets[i].string() + " is already there (--force replaces it)";
                }
                PrintInputs photoInputs = inputs;
                if (failure.empty() && options.date && options.dateTaken)
                    if (const auto taken = takenDate(photos[i].path))
                        photoInputs.now = [when = *taken] { return when; };
                platform::ImageRef print;
                if (failure.empty())
                    print = makePrint(photos[i].path, photoInputs, squareSide, failure);
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
    progress.summarize();
    bool paperFailed = false;
    if (!options.printer.empty()) {
        std::vector<fs::path> printed;
        for (std::size_t i = 0; i < count; ++i)
            if (made[i])
                printed.push_back(targets[i]);
        paperFailed = !PaperBatch::send(printed, options.printer, out, err);
    }
    return progress.anyFailed() || !refusals.empty() || paperFailed ? 1 : 0;
}
