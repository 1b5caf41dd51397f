#include "capture/PrintComposer.h"

#include "ScopedEnvironment.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using platform::Image;
using platform::ImageRef;
using testpictures::colorAt;
using testpictures::Rgba;

// 2026-01-04 23:30:00.750 UTC.
const auto kPrintTime = std::chrono::system_clock::time_point(std::chrono::seconds(1767569400)) +
                        std::chrono::milliseconds(750);

// Category strip positions that pick looks which leave colours alone, and a tinted one.
constexpr double kUntintedCategory = 1350; // category 6
constexpr double kBlueCastCategory = 0;    // category 1

struct SinkCall {
    std::string what;
    ImageRef image;
    std::string name;
};

class RecordingSink : public PrintSink {
public:
    void saveImageWithName(const ImageRef& image, const std::string& name) override {
        calls.push_back({"saveImage", image, name});
    }
    void saveImage2WithName(const ImageRef& image, const std::string& name) override {
        calls.push_back({"saveImage2", image, name});
    }
    void writeToSavedPhotosAlbum(const ImageRef& image) override {
        calls.push_back({"album", image, ""});
    }
    const Image& full() const { return *calls.at(1).image; }
    const Image& small() const { return *calls.at(0).image; }

    std::vector<SinkCall> calls;
};

PrintInputs plainInputs(bool highQuality, std::string model, double categoryX = kUntintedCategory) {
    PrintInputs inputs;
    inputs.isHighQuality = highQuality;
    inputs.platformString = std::move(model);
    inputs.categoryOffsetX = categoryX;
    inputs.now = [] { return kPrintTime; };
    inputs.loadFilmFrame = [](const std::string&) { return ImageRef(); };
    return inputs;
}

// A camera still as a phone stores it: the upright scene (width by height) turned a quarter
// turn counter-clockwise, so its top lies along the bitmap's left edge.
ImageRef cameraStill(int uprightWidth, int uprightHeight,
                     const std::function<Rgba(int x, int y)>& upright) {
    return testpictures::picture(
        uprightHeight, uprightWidth, [&](int i, int j) { return upright(uprightWidth - 1 - j, i); },
        platform::ImageOrientation::Right);
}

// Every pixel coded by its position, so a misplaced pixel cannot go unnoticed.
Rgba positionCode(int x, int y) {
    return {(x % 256) / 255.0, (y % 256) / 255.0, (x / 256 + 16 * (y / 256)) / 255.0, 1};
}

bool near(const Rgba& a, const Rgba& b, double tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

TEST(PrintComposer, PreparedSquareTurnsAndMirrorsTheCut) {
    // Pixel (i, j) of the cut lands at (b - j·k, b - i·k): at k = 1, pixel (b-1-j, b-1-i).
    const int cropSide = 12;
    const auto still = testpictures::picture(20, 15, [](int i, int j) {
        return i < 12 && j < 12 ? Rgba{i * 20 / 255.0, j * 20 / 255.0, 0.5, 1}
                                : Rgba{1, 1, 0, 1}; // outside the cut
    });
    const auto square = PrintComposer::prepareCameraSquare(*still, cropSide, cropSide);
    ASSERT_TRUE(square);
    ASSERT_EQ(square->pixelWidth(), cropSide);
    ASSERT_EQ(square->pixelHeight(), cropSide);
    int misplaced = 0;
    for (int j = 0; j < cropSide; ++j)
        for (int i = 0; i < cropSide; ++i)
            if (!near(colorAt(*square, cropSide - 1 - j, cropSide - 1 - i), colorAt(*still, i, j),
                      1.0 / 255))
                ++misplaced;
    EXPECT_EQ(misplaced, 0);
}

TEST(PrintComposer, PreparedSquareScalesTheCutToThePrintSide) {
    // A smooth ramp, so resampling changes nothing away from the edges.
    const int w = 40, b = 100;
    const double k = double(b) / w;
    const auto still = testpictures::picture(64, 48, [](int i, int j) {
        return Rgba{i / 63.0, j / 47.0, 0.25, 1};
    });
    const auto square = PrintComposer::prepareCameraSquare(*still, b, w);
    ASSERT_TRUE(square);
    ASSERT_EQ(square->pixelWidth(), b);
    for (int y = 5; y < b - 5; y += 7)
        for (int x = 5; x < b - 5; x += 7) {
            // The source position under this pixel's centre, in pixel indices of the cut.
            const double i = (b - (y + 0.5)) / k - 0.5;
            const double j = (b - (x + 0.5)) / k - 0.5;
            const Rgba c = colorAt(*square, x, y);
            EXPECT_NEAR(c.r, i / 63.0, 2.5 / 255) << x << "," << y;
            EXPECT_NEAR(c.g, j / 47.0, 2.5 / 255) << x << "," << y;
        }
}

TEST(PrintComposer, CameraPrintIsUprightWithTheStillsTopAlongItsLeftEdge) {
    // Red along the stored bitmap's left edge, blue along its top.
    const auto still = testpictures::picture(
        2048, 1536,
        [](int i, int j) {
            if (i < 150)
                return Rgba{1, 0, 0, 1};
            if (j < 150)
                return Rgba{0, 0, 1, 1};
            return Rgba{0.5, 0.5, 0.5, 1};
        },
        platform::ImageOrientation::Right);
    RecordingSink sink;
    ASSERT_TRUE(PrintComposer::composeCameraPrint(*still, plainInputs(false, "iPhone3,1"), sink));
    const Image& print = sink.full();
    ASSERT_EQ(print.pixelWidth(), 750);
    EXPECT_TRUE(near(colorAt(print, 375, 30), {1, 0, 0, 1}, 0.02));  // top
    EXPECT_TRUE(near(colorAt(print, 720, 375), {0, 0, 1, 1}, 0.02)); // right
    EXPECT_TRUE(near(colorAt(print, 375, 375), {0.5, 0.5, 0.5, 1}, 0.02));
    EXPECT_TRUE(near(colorAt(print, 30, 375), {0.5, 0.5, 0.5, 1}, 0.02));  // left
    EXPECT_TRUE(near(colorAt(print, 375, 720), {0.5, 0.5, 0.5, 1}, 0.02)); // bottom
}

TEST(PrintComposer, CameraPrintShowsTheTopOfTheUprightScene) {
    struct Case {
        const char* model;
        int stillLong, stillShort, side, lostLeftColumns;
    };
    // High quality, so the print side equals the crop side and every pixel can be traced.
    for (const Case c :
         {Case{"iPhone1,1", 1600, 1200, 1200, 0}, Case{"iPhone2,1", 2048, 1536, 1500, 36}}) {
        SCOPED_TRACE(c.model);
        const auto still = cameraStill(c.stillShort, c.stillLong, positionCode);
        RecordingSink sink;
        ASSERT_TRUE(PrintComposer::composeCameraPrint(*still, plainInputs(true, c.model), sink));
        const Image& print = sink.full();
        ASSERT_EQ(print.pixelWidth(), c.side);
        ASSERT_EQ(print.pixelHeight(), c.side);
        int misplaced = 0;
        for (int y = 0; y < c.side; ++y)
            for (int x = 0; x < c.side; ++x)
                if (!near(colorAt(print, x, y), positionCode(x + c.lostLeftColumns, y), 1.5 / 255))
                    ++misplaced;
        EXPECT_EQ(misplaced, 0);
    }
}

TEST(PrintComposer, LibraryPrintTurnsTheStoredSquareUpright) {
    // The library square is stored mirrored top to bottom; a standard print halves it.
    const auto upright = [](int x, int y) { return Rgba{x / 1499.0, y / 1499.0, 0.3, 1}; };
    const auto original =
        testpictures::picture(1500, 1500, [&](int x, int y) { return upright(x, 1499 - y); });
    RecordingSink sink;
    ASSERT_TRUE(PrintComposer::composeLibraryPrint(*original, plainInputs(false, "x"), sink));
    const Image& print = sink.full();
    ASSERT_EQ(print.pixelWidth(), 750);
    for (int y = 10; y < 740; y += 61)
        for (int x = 10; x < 740; x += 61)
            EXPECT_TRUE(near(colorAt(print, x, y), upright(2 * x + 1, 2 * y + 1), 2.5 / 255))
                << x << "," << y;
}

TEST(PrintComposer, FilmFrameIsStretchedOverThePrintInItsBlend) {
    // A frame with an opaque red border two of its ten pixels wide and a clear window.
    const auto frame = testpictures::picture(10, 10, [](int x, int y) {
        const bool border = x < 2 || y < 2 || x > 7 || y > 7;
        return border ? Rgba{1, 0, 0, 1} : Rgba{0, 0, 0, 0};
    });
    const auto grey = testpictures::solid(30, 30, {0.5, 0.5, 0.5, 1});
    struct Case {
        double categoryX, frameX;
        std::string expectedName;
        Rgba border, window;
    };
    const Case cases[] = {
        // Source-atop over the blue cast look: the border covers it, the window shows it.
        {kBlueCastCategory, 0, "film_normal0", {1, 0, 0, 1}, {0.53, 0.58, 0.65, 1}},
        // Screen: the red border lifts red to full and leaves the grey's green and blue.
        {kUntintedCategory, 320, "film_rainbow1", {1, 0.5, 0.5, 1}, {0.5, 0.5, 0.5, 1}},
        // Hard light with pure red: red screened to full, green and blue multiplied to nothing.
        {2160, 640, "film_color2", {1, 0, 0, 1}, {0.5, 0.5, 0.5, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedName);
        PrintInputs inputs = plainInputs(false, "x", c.categoryX);
        inputs.frameOffsetX = c.frameX;
        std::vector<std::string> asked;
        inputs.loadFilmFrame = [&](const std::string& name) {
            asked.push_back(name);
            return frame;
        };
        RecordingSink sink;
        ASSERT_TRUE(PrintComposer::composeLibraryPrint(*grey, inputs, sink));
        EXPECT_EQ(asked, std::vector<std::string>{c.expectedName});
        const Image& print = sink.full();
        for (auto [x, y] : std::array<std::pair<int, int>, 3>{{{40, 375}, {375, 20}, {720, 720}}})
            EXPECT_TRUE(near(colorAt(print, x, y), c.border, 0.02)) << x << "," << y;
        EXPECT_TRUE(near(colorAt(print, 375, 375), c.window, 0.02));
        EXPECT_EQ(print.pixel(375, 375) >> 24, 255u);
    }
}

// Where the ink of a print lies: pixels that differ from the print's background colour.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right and bottom exclusive
    double darkest = 1, lightest = 0;
    bool any() const { return right >= 0; }
};

Ink findInk(const Image& print, const Rgba& background) {
    Ink ink;
    for (int y = 0; y < print.pixelHeight(); ++y)
        for (int x = 0; x < print.pixelWidth(); ++x) {
            const Rgba c = colorAt(print, x, y);
            if (near(c, background, 0.25))
                continue;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
            ink.darkest = std::min(ink.darkest, c.g);
            ink.lightest = std::max(ink.lightest, c.g);
        }
    return ink;
}

TEST(PrintComposer, DateStandsOnItsBaselineAtItsSizeAndColour) {
    const ScopedEnvironment utc("TZ", "UTC0");
    struct Case {
        bool highQuality;
        const char* model;
        double categoryX;
        Rgba paper;
        int side;
        double size;
        bool whiteInk;
    };
    const Case cases[] = {
        {false, "iPhone1,2", kBlueCastCategory, {1, 1, 1, 1}, 750, 20, false},
        {true, "iPhone1,1", kBlueCastCategory, {1, 1, 1, 1}, 1200, 32, false},
        {true, "iPhone4,1", kBlueCastCategory, {1, 1, 1, 1}, 1500, 40, false},
        {false, "iPhone4,1", 2160, {0, 0, 0, 1}, 750, 20, true}, // category 9
        // Category 6 leaves screen blending set for its frame; black ink must not vanish.
        {false, "iPhone4,1", kUntintedCategory, {1, 1, 1, 1}, 750, 20, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " side " + std::to_string(c.side));
        PrintInputs inputs = plainInputs(c.highQuality, c.model, c.categoryX);
        inputs.canDate = true;
        RecordingSink sink;
        ASSERT_TRUE(PrintComposer::composeLibraryPrint(*testpictures::solid(64, 64, c.paper),
                                                       inputs, sink));
        const Image& print = sink.full();
        ASSERT_EQ(print.pixelWidth(), c.side);
        testpictures::keepForViewing(print, "dated-" + std::to_string(c.side) +
                                                (c.whiteInk ? "-white" : "") + ".png");
        const Ink ink = findInk(print, c.paper);
        ASSERT_TRUE(ink.any());
        const double s = c.size, baseline = c.side - s;
        // Starts 2.5 font sizes in, give or take the first glyph's side bearing.
        EXPECT_GE(ink.left, 2.5 * s - 1);
        EXPECT_LE(ink.left, 2.5 * s + 0.25 * s);
        // Upright on a baseline one font size above the bottom: letters rise well above
        // it, only the comma dips a little below.
        EXPECT_GE(ink.bottom, baseline - 1);
        EXPECT_LE(ink.bottom, baseline + 0.35 * s);
        EXPECT_LE(ink.top, baseline - 0.5 * s);
        EXPECT_GE(ink.top, baseline - 1.1 * s);
        // "January 04, 2026" is some seven font sizes long in a narrow hand.
        EXPECT_GT(ink.right - ink.left, 4 * s);
        EXPECT_LT(ink.right - ink.left, 11 * s);
        if (c.whiteInk) {
            EXPECT_NEAR(ink.lightest, 0.9, 0.03);
        } else {
            EXPECT_LT(ink.darkest, 0.1);
        }
    }
}

TEST(PrintComposer, UndatedPrintHasNoInk) {
    const auto paper = Rgba{1, 1, 1, 1};
    RecordingSink sink;
    ASSERT_TRUE(PrintComposer::composeLibraryPrint(
        *testpictures::solid(64, 64, paper), plainInputs(true, "x", kBlueCastCategory), sink));
    EXPECT_FALSE(findInk(sink.full(), paper).any());
}

TEST(PrintComposer, FilmFramesComeFromTheResourceFolderByDefault) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("morvane-frames-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto red = testpictures::solid(4, 4, {1, 0, 0, 1});
    ASSERT_TRUE(red->writePng(folder / "film_vintage1.png"));
    std::ofstream(folder / "film_vintage2.png") << "not a picture";
    const ScopedEnvironment resources("MORVANE_RESOURCES", folder.string());

    EXPECT_TRUE(PrintComposer::filmFrameFromBundle("film_vintage1"));
    EXPECT_FALSE(PrintComposer::filmFrameFromBundle("film_vintage2")); // unreadable
    EXPECT_FALSE(PrintComposer::filmFrameFromBundle("film_vintage0")); // missing
    // Category 7, frames 1 and 0: an opaque red frame covers the print; a missing one
    // leaves the look's output.
    const auto grey = testpictures::solid(8, 8, {0.5, 0.5, 0.5, 1});
    for (double frameX : {320.0, 0.0}) {
        PrintInputs inputs = plainInputs(false, "x", 1700);
        inputs.frameOffsetX = frameX;
        inputs.loadFilmFrame = nullptr;
        RecordingSink sink;
        ASSERT_TRUE(PrintComposer::composeLibraryPrint(*grey, inputs, sink));
        const Rgba centre = colorAt(sink.full(), 375, 375);
        if (frameX > 0)
            EXPECT_TRUE(near(centre, {1, 0, 0, 1}, 0.02));
        else
            EXPECT_TRUE(near(centre, {0.64, 0.50, 0.33, 1}, 0.02));
    }

    std::filesystem::remove_all(folder);
}

TEST(PrintComposer, HandsOverSmallThenFullThenAlbumUnderOneName) {
    for (bool highQuality : {false, true}) {
        SCOPED_TRACE(highQuality);
        const auto scene = testpictures::landscapePicture(1200, 1600);
        const auto still =
            cameraStill(1200, 1600, [&](int x, int y) { return colorAt(*scene, x, y); });
        RecordingSink sink;
        PrintInputs inputs = plainInputs(highQuality, "iPhone1,2", 1700);
        inputs.frameOffsetX = 650;
        ASSERT_TRUE(PrintComposer::composeCameraPrint(*still, inputs, sink));
        ASSERT_EQ(sink.calls.size(), 3u);
        EXPECT_EQ(sink.calls[0].what, "saveImage");
        EXPECT_EQ(sink.calls[0].name, "1767569400.jpg");
        EXPECT_EQ(sink.calls[1].what, "saveImage2");
        EXPECT_EQ(sink.calls[1].name, "big_1767569400.jpg");
        EXPECT_EQ(sink.calls[2].what, "album");
        EXPECT_EQ(sink.calls[2].image, sink.calls[1].image);

        const Image& small = sink.small();
        const Image& full = sink.full();
        EXPECT_EQ(full.pixelWidth(), highQuality ? 1200 : 750);
        ASSERT_EQ(small.pixelWidth(), 250);
        ASSERT_EQ(small.pixelHeight(), 250);
        // The small print is the full one, upright and scaled: compare along the top, where
        // the sky is smooth.
        const double k = full.pixelWidth() / 250.0;
        for (int x = 10; x < 240; x += 23) {
            const Rgba a = colorAt(small, x, 20);
            const Rgba b = colorAt(full, int((x + 0.5) * k), int(20.5 * k));
            EXPECT_TRUE(near(a, b, 0.03)) << x;
        }
        testpictures::keepForViewing(full, std::string("camera-") + (highQuality ? "hq" : "std") +
                                               ".png");
        testpictures::keepForViewing(small, std::string("camera-") + (highQuality ? "hq" : "std") +
                                                "-small.png");
    }
}

} // namespace
