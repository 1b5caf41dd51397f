// Draws the camera's image resources into a folder, one PNG file per resource name.

#include "Catalogue.h"
#include "DesktopIcons.h"
#include "Fonts.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>
#include <string_view>
#include <system_error>

namespace {

void usage(std::FILE* out) {
    std::fputs("usage: morvane_artwork [--fonts DIR] [--only PREFIX] [--verbose] OUTPUT_DIR\n"
               "       morvane_artwork --icons NAME OUTPUT_DIR\n"
               "  Draws every image resource of the camera into OUTPUT_DIR as NAME.png.\n"
               "  --icons NAME    instead, the desktop icons called NAME in the hicolor theme's\n"
               "                  layout below OUTPUT_DIR (PNGs of every size and an SVG)\n"
               "  --fonts DIR     folder holding the bundled fallback font\n"
               "                  (ComicNeue-Regular.otf), used when the system has none\n"
               "  --only PREFIX   draw only the resources whose name starts with PREFIX\n"
               "  --verbose       name each file as it is written, and the fonts used\n",
               out);
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path fontFolder;
    std::filesystem::path output;
    std::string only;
    std::string iconName;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "--fonts" && i + 1 < argc) {
            fontFolder = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc) {
            iconName = argv[++i];
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
            output = argv[i];
        } else {
            std::fprintf(stderr, "morvane_artwork: unexpected argument '%s'\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (output.empty()) {
        std::fputs("morvane_artwork: no output folder given\n", stderr);
        usage(stderr);
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(output, error);
    if (error || !std::filesystem::is_directory(output)) {
        std::fprintf(stderr, "morvane_artwork: cannot make the folder %s: %s\n", output.c_str(),
                     error ? error.message().c_str() : "not a folder");
        return 1;
    }

    if (!iconName.empty()) {
        const auto failed = artwork::DesktopIcons::write(output, iconName);
        for (const auto& path : failed)
            std::fprintf(stderr, "morvane_artwork: cannot write %s\n", path.c_str());
        return failed.empty() ? 0 : 1;
    }

    const auto start = std::chrono::steady_clock::now();
    const artwork::Fonts fonts(fontFolder);
    if (verbose) {
        std::fputs(fonts.description().c_str(), stdout);
    }
    int written = 0;
    int failed = 0;
    // Encoding a PNG takes about as long as drawing the picture, so each file is written on a
    // thread of its own while the next picture is drawn.
    std::future<bool> pending;
    std::filesystem::path pendingPath;
    auto finishPending = [&] {
        if (!pending.valid()) {
            return;
        }
        if (pending.get()) {
            ++written;
        } else {
            std::fprintf(stderr, "morvane_artwork: cannot write %s\n", pendingPath.c_str());
            ++failed;
        }
    };
    for (const artwork::Resource& resource : artwork::catalogue()) {
        if (!resource.name.starts_with(only)) {
            continue;
        }
        const auto drawStart = std::chrono::steady_clock::now();
        artwork::Canvas canvas = resource.draw(fonts);
        if (canvas.width() != resource.width || canvas.height() != resource.height) {
            std::fprintf(stderr, "morvane_artwork: %s came out %dx%d, not %dx%d\n",
                         resource.name.c_str(), canvas.width(), canvas.height(), resource.width,
                         resource.height);
            ++failed;
            continue;
        }
        if (verbose) {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - drawStart;
            std::printf("%s.png drawn in %.2f s\n", resource.name.c_str(), took.count());
        }
        finishPending();
        pendingPath = output / (resource.name + ".png");
        pending = std::async(std::launch::async, [picture = std::move(canvas), path = pendingPath] {
            return picture.writePng(path);
        });
    }
    finishPending();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("morvane_artwork: %d pictures drawn into %s in %.1f s\n", written, output.c_str(),
                seconds);
    return failed == 0 ? 0 : 1;
}
