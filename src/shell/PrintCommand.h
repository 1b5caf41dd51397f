#pragma once

#include "capture/PrintInputs.h"

#include "platform/graphics/Image.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// `morvane print`: prints made from photo files as the library button makes them (the
// prepared square, its orientation rules included, then the composer), one full-size JPEG
// file per photo, several photos at once on several cores, the files written while the next
// prints are made. Only a photo with pixels to spare is read otherwise: reduced, as far as
// it still covers the square (see makePrint). It writes only the files it is asked for:
// neither the Documents directory nor the photo album is touched. A batch that was stopped
// takes up where it stopped with --skip-existing: each print file takes its name only once
// it is whole, so one that is there is a finished print.
class PrintCommand {
public:
    struct Options {
        // Photo files, and folders of them.
        std::vector<std::string> photos;
        std::string out;
        int category = 1; // 1 to 10
        int frame = 0;    // 0 to 2
        bool date = false;
        // With date: the day each photo was taken instead of today.
        bool dateTaken = false;
        bool highQuality = false;
        int jobs = 0; // 0: one per core, as free memory allows
        bool force = false;
        bool skipExisting = false;
        // Folders' subfolders are walked too.
        bool recursive = false;
        // Where the prints also go on paper: a CUPS queue or an ipp:// address.
        std::string printer;
    };

    // The sub-command with its options and checks, on app.
    static CLI::App* addTo(CLI::App& app, Options& options);

    // Prints every photo. Progress goes to out (a bar when it is a terminal, else one line a
    // photo), then a line of counts; each photo that cannot be printed is named with the
    // reason on err, and the others go on. Returns 0 when all were printed or kept, 1 when
    // any was not, 2 when the output folder cannot be used.
    static int run(const Options& options, const std::string& platformString, std::ostream& out,
                   std::ostream& err, bool terminal);

    // Where a photo's print goes: its name without the extension, ".jpg", in folder.
    static std::filesystem::path outputFor(const std::filesystem::path& photo,
                                           const std::filesystem::path& folder);

    // True for a file that holds a whole JPEG file, from its start to its end marker: what
    // --skip-existing keeps. A file cut short (copied in part, or from a full disk) is not.
    static bool isWholeJpeg(const std::filesystem::path& file);

    // The day a photo was taken: its EXIF date, else the time the file was last changed
    // (which a copy keeps when it keeps anything); nullopt when the file cannot be looked at.
    static std::optional<std::chrono::system_clock::time_point>
    takenDate(const std::filesystem::path& photo);

    // What the composer is given for these options on the hardware model named.
    static PrintInputs inputsFor(const Options& options, const std::string& platformString);

    // One photo's full-size print as the library button makes it, the square squareSide
    // pixels a side. A JPEG photo whose shorter side holds squareSide pixels even at a half,
    // a quarter or an eighth of its size is decoded at the smallest of those that does (a
    // 4000 by 3000 one at 2000 by 1500 for a 1500 square), which costs a fraction of the
    // whole; its print then differs from one made from every pixel by no more than the
    // smoothing of the reduction. Returns nullptr with the reason when there is no print.
    static platform::ImageRef makePrint(const std::filesystem::path& photo,
                                        const PrintInputs& inputs, int squareSide,
                                        std::string& whyNot);
};
