// `morvane print` run as a user runs it: prints land in the --out folder under the photos'
// names, as the library path makes them, and nothing else of the camera's is touched.
#include "support/OrientedPhoto.h"
#include "support/PeakMemory.h"
#include "support/PrintCommandRun.h"

#include "shell/PrintCommand.h"

#include "capture/PrintComposer.h"
#include "library/RollSquare.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::ImageRef;

class PrintCommandTest : public PrintCommandRun {
protected:
    fs::path photos() const { return home_.root() / "photos"; }
    fs::path prints() const { return home_.root() / "prints"; }

    // Light above, dark below: every look keeps which half is lighter.
    fs::path writeLandscape(const std::string& name, int width, int height) {
        std::vector<std::uint32_t> argb(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[std::size_t(y) * width + x] = y < height / 2 ? 0xFFF0F0F0u : 0xFF101010u;
        fs::create_directories(photos());
        const fs::path path = photos() / name;
        EXPECT_TRUE(Image::fromPixels(width, height, argb)->writePng(path));
        return path;
    }

    // A portrait photograph as a phone stores it: landscape bitmap, scene's top along its left
    // edge, EXIF orientation "right".
    fs::path writePortraitJpeg(const std::string& name) {
        const int width = 400, height = 300;
        std::vector<std::uint32_t> argb(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[std::size_t(y) * width + x] = x < width / 2 ? 0xFFF0F0F0u : 0xFF101010u;
        const std::vector<std::uint8_t> jpeg =
            Image::fromPixels(width, height, argb)->jpegData(1.0);
        const std::uint8_t exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0,
                                     0,    'I',  'I',  0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,
                                     0x01, 0x00, 0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00,
                                     0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
        fs::create_directories(photos());
        const fs::path path = photos() / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpeg.data()), 2);
        out.write(reinterpret_cast<const char*>(exif), sizeof exif);
        out.write(reinterpret_cast<const char*>(jpeg.data() + 2), std::streamsize(jpeg.size() - 2));
        return path;
    }

    // A photograph's kind of content: smooth colour with grain, so that reading it reduced
    // gives other pixels than reading it whole.
    fs::path writeGrainyJpeg(const std::string& name, int width, int height) {
        std::vector<std::uint32_t> argb(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t grain = (std::uint32_t(x) * 7919u + y * 104729u) % 23u;
                argb[std::size_t(y) * width + x] = 0xFF000000u | (x * 200 / width + grain) << 16 |
                                                   (y * 180 / height + grain) << 8 | (90 + grain);
            }
        fs::create_directories(photos());
        const fs::path path = photos() / name;
        EXPECT_TRUE(Image::fromPixels(width, height, argb)->writeJpeg(path, 0.9));
        return path;
    }

    static int brightness(const Image& image, int x, int y) {
        return int((image.pixel(x, y) >> 8) & 0xff);
    }
};

TEST_F(PrintCommandTest, EachPhotoBecomesAnUprightPrintUnderItsOwnName) {
    const fs::path wide = writeLandscape("wide.png", 600, 400);
    const fs::path portrait = writePortraitJpeg("portrait.jpg");
    ASSERT_EQ(run(wide.string() + " " + portrait.string() + " --out " + prints().string() +
                  " --category 2 --jobs 2"),
              0)
        << errors();
    for (const char* name : {"wide.jpg", "portrait.jpg"}) {
        const ImageRef print = Image::contentsOfFile(prints() / name);
        ASSERT_TRUE(print) << name;
        EXPECT_EQ(print->pixelWidth(), 750);
        EXPECT_EQ(print->pixelHeight(), 750);
        // The photograph's top is the print's top, whatever way it was stored.
        EXPECT_GT(brightness(*print, 375, 200), brightness(*print, 375, 500) + 100) << name;
    }
    // One line a photo when the output is not a terminal.
    EXPECT_NE(output().find("wide.png -> "), std::string::npos);
    // Neither the camera's Documents nor its album.
    EXPECT_FALSE(fs::exists(home_.documents()));
    EXPECT_FALSE(fs::exists(home_.root() / "Pictures"));
}

TEST_F(PrintCommandTest, HighQualityPrintsAreFullSizeForTheModel) {
    const fs::path wide = writeLandscape("wide.png", 600, 400);
    ASSERT_EQ(run(wide.string() + " --out " + prints().string() + " --high-quality --date"), 0)
        << errors();
    EXPECT_EQ(Image::contentsOfFile(prints() / "wide.jpg")->pixelWidth(), 1500);
    home_.setEnv("MORVANE_MODEL", "iPhone1,2");
    ASSERT_EQ(run(wide.string() + " --out " + prints().string() + " --high-quality --force"), 0)
        << errors();
    EXPECT_EQ(Image::contentsOfFile(prints() / "wide.jpg")->pixelWidth(), 1200);
}

TEST_F(PrintCommandTest, APhotoThatCannotBePrintedIsNamedAndTheOthersGoOn) {
    const fs::path good = writeLandscape("good.png", 300, 200);
    TempHome::writeText(photos() / "notes.png", "not a picture");
    const fs::path missing = photos() / "missing.jpg";
    // Two photos with one name: the first keeps it.
    const fs::path twin = writePortraitJpeg("good.jpg");
    EXPECT_EQ(run(missing.string() + " " + (photos() / "notes.png").string() + " " + good.string() +
                  " " + twin.string() + " --out " + prints().string()),
              1);
    EXPECT_TRUE(fs::exists(prints() / "good.jpg"));
    EXPECT_FALSE(fs::exists(prints() / "notes.jpg"));
    const std::string err = errors();
    EXPECT_NE(err.find("missing.jpg: no such file"), std::string::npos) << err;
    EXPECT_NE(err.find("notes.png: not a picture"), std::string::npos) << err;
    EXPECT_NE(err.find("good.jpg: its print would have the same name"), std::string::npos) << err;
}

TEST_F(PrintCommandTest, PrintsAlreadyThereAreReplacedOnlyWhenForced) {
    const fs::path photo = writeLandscape("photo.png", 300, 200);
    fs::create_directories(prints());
    TempHome::writeText(prints() / "photo.jpg", "earlier");
    EXPECT_EQ(run(photo.string() + " --out " + prints().string()), 1);
    EXPECT_EQ(TempHome::readText(prints() / "photo.jpg"), "earlier");
    EXPECT_NE(errors().find("--force"), std::string::npos);
    EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " --force"), 0) << errors();
    EXPECT_TRUE(Image::contentsOfFile(prints() / "photo.jpg"));
}

TEST_F(PrintCommandTest, WrongOptionsStopBeforeAnythingIsWritten) {
    const fs::path photo = writeLandscape("photo.png", 300, 200);
    EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " --category 11"), 2);
    EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " --frame 3"), 2);
    EXPECT_EQ(run(photo.string()), 2) << "no --out";
    EXPECT_EQ(run("--out " + prints().string()), 2) << "no photo";
    TempHome::writeText(home_.root() / "file", "x");
    EXPECT_EQ(run(photo.string() + " --out " + (home_.root() / "file").string()), 2);
    EXPECT_FALSE(fs::exists(prints()));
}

TEST_F(PrintCommandTest, EveryOrientationPrintsAsTheSamePictureStoredUpright) {
    for (const auto& [width, height] : {std::pair{480, 360}, std::pair{360, 480}}) {
        std::string arguments;
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const fs::path photo = photos() / ("o" + std::to_string(orientation) + ".jpg");
            ASSERT_TRUE(oriented::writeQuarters(photo, orientation, width, height));
            arguments += photo.string() + " ";
        }
        ASSERT_EQ(run(arguments + "--out " + prints().string() + " --force"), 0) << errors();
        // The upright one is printed as before: the others must match it, quarter by quarter.
        const ImageRef upright = Image::contentsOfFile(prints() / "o1.jpg");
        ASSERT_TRUE(upright);
        const int points[4][2] = {{250, 250}, {500, 250}, {250, 500}, {500, 500}};
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                ASSERT_FALSE(oriented::near(upright->pixel(points[a][0], points[a][1]),
                                            upright->pixel(points[b][0], points[b][1])))
                    << "the quarters must stay told apart in the print";
        for (int orientation = 2; orientation <= 8; ++orientation) {
            const ImageRef print =
                Image::contentsOfFile(prints() / ("o" + std::to_string(orientation) + ".jpg"));
            ASSERT_TRUE(print) << orientation;
            for (const auto& point : points)
                EXPECT_TRUE(oriented::near(print->pixel(point[0], point[1]),
                                           upright->pixel(point[0], point[1])))
                    << "seen " << width << "x" << height << ", orientation " << orientation
                    << " at " << point[0] << "," << point[1];
        }
    }
}

TEST_F(PrintCommandTest, APhotoIsReadReducedOnlyWhereTheReductionStillCoversTheSquare) {
    // Halved, the first still has the square's 1500 pixels across; the second would have
    // 1499 and 1600, so it is read whole.
    const fs::path covered = writeGrainyJpeg("covered.jpg", 3000, 3000);
    const fs::path tooNarrow = writeGrainyJpeg("short.jpg", 2998, 3200);
    ASSERT_EQ(run(covered.string() + " " + tooNarrow.string() + " --out " + prints().string() +
                  " --jobs 2 --category 3"),
              0)
        << errors();

    PrintCommand::Options options;
    options.category = 3;
    const PrintInputs inputs = PrintCommand::inputsFor(options, "iPhone2,1");
    const int side = 1500;
    auto printFrom = [&](const fs::path& photo, int shortSide) {
        const ImageRef read = Image::readFile(photo, shortSide);
        EXPECT_TRUE(read);
        if (!read)
            return std::vector<std::uint8_t>();
        EXPECT_GE(std::min(read->pixelWidth(), read->pixelHeight()), side) << photo;
        const ImageRef square = RollSquare::makeSquare(*read, side);
        return PrintComposer::libraryFullPrint(*square, inputs)->jpegData(1.0);
    };
    auto written = [&](const std::string& name) {
        const std::string text = TempHome::readText(prints() / name);
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    EXPECT_EQ(Image::readFile(covered, side)->pixelWidth(), 1500);
    EXPECT_EQ(Image::readFile(tooNarrow, side)->pixelWidth(), 2998);
    const auto reduced = printFrom(covered, side);
    EXPECT_NE(reduced, printFrom(covered, 0)) << "the two ways must be told apart";
    EXPECT_EQ(written("covered.jpg"), reduced);
    EXPECT_EQ(written("short.jpg"), printFrom(tooNarrow, 0));
}

TEST_F(PrintCommandTest, APrintIsNeverWrittenOverAPhotoItReads) {
    const fs::path photo = writeLandscape("photo.jpg", 300, 200);
    const fs::path other = writeLandscape("other.png", 300, 200);
    const std::string before = TempHome::readText(photo);
    EXPECT_EQ(
        run(photo.string() + " " + other.string() + " --out " + photos().string() + " --force"), 1);
    EXPECT_EQ(TempHome::readText(photo), before);
    EXPECT_NE(errors().find("photo.jpg: its print would replace the photo itself"),
              std::string::npos)
        << errors();
    // The other photo is printed beside it.
    EXPECT_TRUE(Image::contentsOfFile(photos() / "other.jpg"));

    // The same file under another name: a hard link elsewhere whose print lands on it.
    const fs::path linked = home_.root() / "elsewhere" / "photo.jpg";
    fs::create_directories(linked.parent_path());
    fs::create_hard_link(photo, linked);
    EXPECT_EQ(run(linked.string() + " --out " + photos().string() + " --force"), 1);
    EXPECT_EQ(TempHome::readText(photo), before);
    EXPECT_TRUE(fs::equivalent(photo, linked));

    // A print that would land on another of the photos being read, linked under its name.
    fs::remove(photos() / "other.jpg");
    fs::create_hard_link(photo, photos() / "other.jpg");
    EXPECT_EQ(
        run(other.string() + " " + linked.string() + " --out " + photos().string() + " --force"),
        1);
    EXPECT_TRUE(fs::equivalent(photo, photos() / "other.jpg"));
    EXPECT_EQ(TempHome::readText(photo), before);
}

TEST_F(PrintCommandTest, FilesThatAreNoPhotoOrTooLargeAreRefusedCheaplyWithTheReason) {
    fs::create_directories(photos());
    // A video of gigabytes is known by its first bytes, not read whole.
    const fs::path video = photos() / "video.mp4";
    {
        std::ofstream out(video, std::ios::binary);
        out.write("\0\0\0\x20"
                  "ftypisom",
                  12);
    }
    fs::resize_file(video, 3ull << 30); // sparse
    // A panorama too wide for any picture, and too wide to be read reduced as a PNG.
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                     13,   'I', 'H', 'D', 'R',  0,    0,    0x9c, 0x40, 0, 0,
                                     0,    4,   8,   6,   0,    0,    0,    0,    0,    0, 0};
    std::ofstream(photos() / "wide.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    int status = -1;
    const long kilobytes =
        peak::ofCommand(std::string(MORVANE_BINARY) + " print " + video.string() + " " +
                            (photos() / "wide.png").string() + " --out " + prints().string() +
                            " 2>" + (home_.root() / "err.txt").string(),
                        status);
    EXPECT_EQ(status, 1);
    EXPECT_GT(kilobytes, 0);
    EXPECT_LT(kilobytes, 300 * 1024);
    const std::string err = errors();
    EXPECT_NE(err.find("video.mp4: not a picture"), std::string::npos) << err;
    EXPECT_NE(err.find("wide.png: too large: 40000 by 4 pixels"), std::string::npos) << err;
}

} // namespace
