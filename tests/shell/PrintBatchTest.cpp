// `morvane print` over many photos as a batch is run: looks and frames by name, folders
// walked, a stopped batch resumed, prints dated by the photos' own days.
#include "support/DatedPhoto.h"
#include "support/PhoneFormats.h"
#include "support/PrintCommandRun.h"

#include "shell/PrintCommand.h"

#include "capture/PrintSize.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::Image;

class PrintBatchTest : public PrintCommandRun {
protected:
    std::string lastLine() {
        std::string text = output();
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    }

    fs::path photos() const { return home_.root() / "photos"; }
    fs::path prints() const { return home_.root() / "prints"; }

    // Colour that changes across the picture, so that looks and frames all leave their mark.
    fs::path writePhoto(const fs::path& relative, int seed = 0) {
        const int width = 320, height = 240;
        std::vector<std::uint32_t> argb(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[std::size_t(y) * width + x] =
                    0xFF000000u | std::uint32_t((x + seed) % 256) << 16 | (y % 256) << 8 | 0x60;
        const fs::path path = photos() / relative;
        fs::create_directories(path.parent_path());
        const auto picture = Image::fromPixels(width, height, argb);
        EXPECT_TRUE(path.extension() == ".png" ? picture->writePng(path)
                                               : picture->writeJpeg(path, 0.9));
        return path;
    }

    static std::string bytes(const fs::path& file) { return TempHome::readText(file); }

    // The print the command makes of a photo dated `when`, encoded as it writes it.
    static std::string printDated(const fs::path& photo,
                                  std::chrono::system_clock::time_point when) {
        PrintCommand::Options options;
        options.date = true;
        PrintInputs inputs = PrintCommand::inputsFor(options, "iPhone2,1");
        inputs.now = [when] { return when; };
        std::string whyNot;
        const auto print = PrintCommand::makePrint(
            photo, inputs, PrintSize::librarySquareSide("iPhone2,1"), whyNot);
        EXPECT_TRUE(print) << whyNot;
        if (!print)
            return {};
        const auto jpeg = print->jpegData(1.0);
        return std::string(jpeg.begin(), jpeg.end());
    }
};

TEST_F(PrintBatchTest, LooksAndFramesByNameAreThePrintsOfTheirNumbers) {
    const fs::path photo = writePhoto("photo.png");
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"--category 4 --frame 1", "--look SePiA --frame instant"},
        {"--look 3 --frame 2", "--look 'B&W' --frame FILM"},
        {"--look 3 --frame 2", "--look bw --frame film"},
        {"--category 10", "--look green --frame square"},
    };
    ASSERT_EQ(run(photo.string() + " --out " + (home_.root() / "plain").string()), 0)
        << joinedErrors();
    const std::string plain = bytes(home_.root() / "plain" / "photo.jpg");
    for (const auto& [numbers, names] : pairs) {
        ASSERT_EQ(
            run(photo.string() + " --force --out " + (home_.root() / "n").string() + " " + numbers),
            0)
            << numbers << ": " << joinedErrors();
        ASSERT_EQ(
            run(photo.string() + " --force --out " + (home_.root() / "w").string() + " " + names),
            0)
            << names << ": " << joinedErrors();
        const std::string byNumber = bytes(home_.root() / "n" / "photo.jpg");
        EXPECT_NE(byNumber, plain) << numbers << " must change the print";
        EXPECT_EQ(bytes(home_.root() / "w" / "photo.jpg"), byNumber) << names;
    }

    // A name that is none is refused with the names there are, before anything is written.
    EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " --look sepai"), 2);
    EXPECT_NE(joinedErrors().find("4 Sepia"), std::string::npos) << joinedErrors();
    EXPECT_NE(joinedErrors().find("10 Green"), std::string::npos) << joinedErrors();
    EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " --frame round"), 2);
    EXPECT_NE(joinedErrors().find("0 Square, 1 Instant, 2 Film"), std::string::npos)
        << joinedErrors();
    for (const char* wrong : {"--look 0", "--look 11", "--look ''", "--frame 3", "--frame -1"})
        EXPECT_EQ(run(photo.string() + " --out " + prints().string() + " " + wrong), 2) << wrong;
    EXPECT_FALSE(fs::exists(prints()));
}

TEST_F(PrintBatchTest, FoldersGiveTheirPhotosInNameOrderAndSubfoldersWithR) {
    writePhoto("b.png");
    writePhoto("a.jpg");
    writePhoto("a.png", 40); // the same print name as a.jpg, which comes first
    writePhoto(".hidden.png");
    writePhoto("sub/b.png", 80); // the same name as a photo above, in its own subfolder
    writePhoto("sub/deeper/c.jpg");
    writePhoto(".trash/d.png");
    TempHome::writeText(photos() / "notes.txt", "not a photo");
    TempHome::writeText(photos() / "fake.jpg", "not a photo either");

    EXPECT_EQ(run(photos().string() + " --out " + prints().string()), 1);
    EXPECT_TRUE(Image::contentsOfFile(prints() / "a.jpg"));
    EXPECT_TRUE(Image::contentsOfFile(prints() / "b.jpg"));
    EXPECT_FALSE(fs::exists(prints() / "sub"));
    EXPECT_NE(joinedErrors().find("a.png: its print would have the same name as that of " +
                                  (photos() / "a.jpg").string()),
              std::string::npos)
        << joinedErrors();
    EXPECT_EQ(joinedErrors().find("notes.txt"), std::string::npos) << "only photos are taken";
    EXPECT_EQ(lastLine().rfind("2 prints made, 0 skipped, 1 failed, ", 0), 0u) << output();

    // With -r, each print at its photo's place; the output folder inside the photos' is never
    // walked, so a second run finds the prints of the first kept and prints no print.
    const fs::path inside = photos() / "prints";
    ASSERT_EQ(run(photos().string() + " -r --out " + inside.string() + " --look 2"), 1);
    for (const char* print : {"a.jpg", "b.jpg", "sub/b.jpg", "sub/deeper/c.jpg"})
        EXPECT_TRUE(Image::contentsOfFile(inside / print)) << print;
    EXPECT_NE(bytes(inside / "b.jpg"), bytes(inside / "sub/b.jpg"));
    EXPECT_FALSE(fs::exists(inside / "d.jpg"));
    EXPECT_FALSE(fs::exists(inside / ".trash"));
    EXPECT_EQ(run(photos().string() + " -r --skip-existing --out " + inside.string()), 1);
    EXPECT_EQ(lastLine().rfind("0 prints made, 4 skipped, 1 failed, ", 0), 0u) << output();
    EXPECT_FALSE(fs::exists(inside / "prints"));

    // A folder with no photo in it is said, not passed over in silence.
    fs::create_directories(home_.root() / "empty");
    EXPECT_EQ(run((home_.root() / "empty").string() + " --out " + prints().string()), 1);
    EXPECT_NE(joinedErrors().find("empty: no photos in it"), std::string::npos) << joinedErrors();
}

// A phone's HEIC and a browser's WebP, each stored turned, print as the same photo upright
// in a JPEG does; a cut-off one is named with its reason and the others are printed.
TEST_F(PrintBatchTest, HeicAndWebpPhotosInAFolderPrintUprightAndACutOneIsNamed) {
    constexpr int kWidth = 320, kHeight = 240;
    ASSERT_TRUE(oriented::writeQuarters(photos() / "a-reference.jpg", 1, kWidth, kHeight));
    ASSERT_TRUE(phoneformats::writeQuartersHeic(photos() / "phone" / "b.HEIC", 6, kWidth, kHeight));
    ASSERT_TRUE(phoneformats::writeQuartersWebp(photos() / "c.webp", 8, kWidth, kHeight));
    const std::string whole = bytes(photos() / "phone" / "b.HEIC");
    std::ofstream(photos() / "d-cut.heic", std::ios::binary) << whole.substr(0, whole.size() / 2);

    EXPECT_EQ(run(photos().string() + " -r --look 9 --out " + prints().string()), 1) << errors();
    EXPECT_NE(joinedErrors().find("d-cut.heic: a damaged or cut short HEIF picture"),
              std::string::npos)
        << errors();
    EXPECT_FALSE(fs::exists(prints() / "d-cut.jpg"));
    const auto reference = Image::readFile(prints() / "a-reference.jpg");
    ASSERT_TRUE(reference) << errors();
    for (const fs::path& print : {prints() / "phone" / "b.jpg", prints() / "c.jpg"}) {
        const auto made = Image::readFile(print);
        ASSERT_TRUE(made) << print << errors();
        ASSERT_EQ(made->pixelWidth(), reference->pixelWidth());
        // Across the print: a photo turned or mirrored the wrong way swaps the quarters.
        for (int y = 60; y < made->pixelHeight(); y += 125)
            for (int x = 60; x < made->pixelWidth(); x += 125)
                EXPECT_TRUE(oriented::near(made->pixel(x, y), reference->pixel(x, y), 24))
                    << print << " at " << x << "," << y << std::hex << ": "
                    << made->pixel(x, y) << " against " << reference->pixel(x, y);
    }
}

TEST_F(PrintBatchTest, SkipExistingResumesAStoppedBatchAndRemakesWhatItLeftUnfinished) {
    std::string arguments;
    for (int i = 0; i < 5; ++i)
        arguments += writePhoto("p" + std::to_string(i) + ".png", i * 30).string() + " ";
    ASSERT_EQ(run(arguments + "--out " + prints().string()), 0) << joinedErrors();
    EXPECT_EQ(lastLine().rfind("5 prints made, 0 skipped, 0 failed, ", 0), 0u) << output();
    const std::string whole = bytes(prints() / "p1.jpg");

    // As a batch stopped part way leaves it: one print not made yet, one cut short (copied in
    // part, or from a full disk), the others whole.
    fs::remove(prints() / "p0.jpg");
    fs::resize_file(prints() / "p1.jpg", whole.size() / 2);
    struct stat before {};
    ASSERT_EQ(::stat((prints() / "p2.jpg").c_str(), &before), 0);
    const std::string kept = bytes(prints() / "p2.jpg");

    ASSERT_EQ(run(arguments + "--out " + prints().string() + " --skip-existing"), 0)
        << joinedErrors();
    EXPECT_EQ(lastLine().rfind("2 prints made, 3 skipped, 0 failed, ", 0), 0u) << output();
    EXPECT_TRUE(Image::contentsOfFile(prints() / "p0.jpg"));
    EXPECT_EQ(bytes(prints() / "p1.jpg"), whole);
    // The whole ones were not written again: the very same file.
    struct stat after {};
    ASSERT_EQ(::stat((prints() / "p2.jpg").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(bytes(prints() / "p2.jpg"), kept);
    EXPECT_NE(output().find("p3.jpg is already there, kept\n"), std::string::npos) << output();

    // Keeping and replacing at once is a contradiction, refused.
    EXPECT_EQ(run(arguments + "--out " + prints().string() + " --skip-existing --force"), 2);
    EXPECT_NE(joinedErrors().find("--force"), std::string::npos) << joinedErrors();
}

TEST_F(PrintBatchTest, DateTakenStampsEachPhotosOwnDay) {
    fs::create_directories(photos());
    // A camera's photo with its EXIF date, and a picture with none, dated by its file.
    const fs::path plain = writePhoto("camera.jpg");
    const std::string jpeg = bytes(plain);
    const auto withDate = dated::withDateTaken(std::vector<std::uint8_t>(jpeg.begin(), jpeg.end()),
                                               "2019:07:14 18:30:05");
    std::ofstream(plain, std::ios::binary)
        .write(reinterpret_cast<const char*>(withDate.data()), std::streamsize(withDate.size()));
    const fs::path undated = writePhoto("scan.png");
    std::tm day{};
    day.tm_year = 2011 - 1900, day.tm_mon = 2, day.tm_mday = 4, day.tm_hour = 12, day.tm_isdst = -1;
    const auto fileTime = std::chrono::system_clock::from_time_t(std::mktime(&day));
    fs::last_write_time(undated, std::chrono::file_clock::from_sys(fileTime));

    std::tm taken{};
    taken.tm_year = 2019 - 1900, taken.tm_mon = 6, taken.tm_mday = 14, taken.tm_hour = 18,
    taken.tm_min = 30, taken.tm_sec = 5, taken.tm_isdst = -1;
    const auto cameraTime = std::chrono::system_clock::from_time_t(std::mktime(&taken));

    // `--date taken` after the photos, and a bare --date before one: that word is a photo.
    ASSERT_EQ(run(plain.string() + " " + undated.string() + " --out " + prints().string() +
                  " --date taken"),
              0)
        << joinedErrors();
    ASSERT_EQ(run("--out " + (home_.root() / "today").string() + " --date " + undated.string()), 0)
        << joinedErrors();
    EXPECT_EQ(bytes(prints() / "camera.jpg"), printDated(plain, cameraTime));
    EXPECT_EQ(bytes(prints() / "scan.jpg"), printDated(undated, fileTime));
    EXPECT_NE(bytes(home_.root() / "today" / "scan.jpg"), bytes(prints() / "scan.jpg"))
        << "today is not the file's day";
    EXPECT_EQ(PrintCommand::takenDate(plain), cameraTime);
}

} // namespace
