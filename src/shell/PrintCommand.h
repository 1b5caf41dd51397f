#pragma once

#include "capture/PrintInputs.h"

#include "platform/graphics/Image.h"

#include <filesystem>
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
// neither the Documents directory nor the photo album is touched.
class PrintCommand {
public:
    struct Options {
        std::vector<std::string> photos;
        std::string out;
        int category = 1; // 1 to 10
        int frame = 0;    // 0 to 2
        bool date = false;
        bool highQuality = false;
        int jobs = 0; // 0: one per core
        bool force = false;
    };

    // The sub-command with its options and checks, on app.
    static CLI::App* addTo(CLI::App& app, Options& options);

    // Prints every photo. Progress goes to out (a bar when it is a terminal, else one line a
    // photo); each photo that cannot be printed is named with the reason on err, and the
    // others go on. Returns 0 when all were printed, 1 when any was not, 2 when the output
    // folder cannot be used.
    static int run(const Options& options, const std::string& platformString, std::ostream& out,
                   std::ostream& err, bool terminal);

    // Where a photo's print goes: its name without the extension, ".jpg", in folder.
    static std::filesystem::path outputFor(const std::filesystem::path& photo,
                                           const std::filesystem::path& folder);

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
