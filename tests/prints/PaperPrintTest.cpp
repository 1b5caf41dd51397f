#include "support/IppPrinter.h"
#include "support/ScriptedCamera.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>

namespace {

// Points of the note over the picture area, where a paper print's progress is shown.
constexpr int kNoteLeft = 20, kNoteTop = 10, kNoteRight = 300, kNoteBottom = 38;

// The print's square on a sheet: everything that is not white paper.
struct Square {
    int left = 0, top = 0, side = 0;
};
Square printOn(const IppPrinter::Page& page) {
    int left = page.width, top = page.height, right = -1, bottom = -1;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const std::uint8_t* p = page.at(x, y);
            if (p[0] < 245 || p[1] < 245 || p[2] < 245) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    return {left, top, std::max(right - left + 1, bottom - top + 1)};
}

// Mean difference per channel, 0 to 255, between the full-size print and what is on paper.
double differenceFrom(const platform::Image& print, const IppPrinter::Page& page, Square square) {
    double sum = 0;
    int samples = 0;
    const int side = print.pixelWidth();
    for (int y = side / 40; y < side; y += side / 20)
        for (int x = side / 40; x < side; x += side / 20) {
            const std::uint32_t p = print.pixel(x, y);
            const int px = square.left + int((x + 0.5) * square.side / side);
            const int py = square.top + int((y + 0.5) * square.side / side);
            const std::uint8_t* got = page.at(px, py);
            sum += std::abs(got[0] - int((p >> 16) & 0xff)) +
                   std::abs(got[1] - int((p >> 8) & 0xff)) + std::abs(got[2] - int(p & 0xff));
            samples += 3;
        }
    return sum / samples;
}

int noteDifference(const platform::Image& a, const platform::Image& b) {
    int differing = 0;
    for (int y = kNoteTop; y < kNoteBottom; ++y)
        for (int x = kNoteLeft; x < kNoteRight; ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

class PaperPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!printer_.whyNot().empty())
            GTEST_SKIP() << "no IPP printer to print on: " << printer_.whyNot();
    }
    HeadlessOptions withPrinter() const {
        HeadlessOptions options;
        options.arguments = {"--printer", printer_.address()};
        return options;
    }
    // The shot, taken 6 s after the shutter, shows a note over the picture: the same moment
    // without a printer shows the picture alone there.
    static void expectNoteIn(const std::filesystem::path& shot) {
        ScriptedCamera plain;
        const auto bare = plain.home().root() / "bare.png";
        ASSERT_EQ(plain.runScript("key space\nwait 6\nshot " + bare.string() + "\n"), 0);
        const auto withNote = platform::Image::contentsOfFile(shot);
        const auto without = platform::Image::contentsOfFile(bare);
        ASSERT_TRUE(withNote && without);
        EXPECT_GT(noteDifference(*withNote, *without), 500);
    }
    std::string bigFile() const {
        const auto names = camera_.listedNames();
        return names.empty() ? std::string()
                             : (camera_.home().documents() / ("big_" + names.front())).string();
    }

    IppPrinter printer_;
    ScriptedCamera camera_;
};

} // namespace

// A shot with a printer chosen comes out on paper: one job, the print on the photo sheet at
// an instant print's size in its own colours; Ctrl+P in the gallery sends it again.
TEST_F(PaperPrintTest, AShotComesOutOnPaperAndTheGalleryPrintsItAgain) {
    const auto shot = camera_.home().root() / "printing.png";
    ASSERT_EQ(camera_.runScript("key space\nwait 6\nshot " + shot.string() + "\n", withPrinter()),
              0)
        << camera_.errors();
    EXPECT_NE(camera_.errors().find("is job 1 on"), std::string::npos) << camera_.errors();
    ASSERT_TRUE(printer_.waitForDocuments(1));
    const auto documents = printer_.documents();
    ASSERT_EQ(documents.size(), 1u);
    const auto page = IppPrinter::readPwg(documents[0]);
    ASSERT_TRUE(page);
    const double mm = page->dotsPerInch / 25.4;
    EXPECT_NEAR(page->width, 101.6 * mm, 2);
    EXPECT_NEAR(page->height, 152.4 * mm, 2);
    const Square square = printOn(*page);
    EXPECT_NEAR(square.side, 79 * mm, 3);
    EXPECT_GT(square.left, 4 * mm);
    EXPECT_GT(square.top, 4 * mm);

    const auto big = platform::Image::contentsOfFile(bigFile());
    ASSERT_TRUE(big);
    EXPECT_LT(differenceFrom(*big, *page, square), 8.0);
    EXPECT_EQ(camera_.albumCount(), 1u);

    // The gallery's Ctrl+P: the same print, a second job.
    ASSERT_EQ(camera_.runScript("key r\nwait 1\nkey ctrl+p\nwait 2\n", withPrinter()), 0)
        << camera_.errors();
    ASSERT_TRUE(printer_.waitForDocuments(2)) << camera_.errors();
    const auto again = IppPrinter::readPwg(printer_.documents()[1]);
    ASSERT_TRUE(again);
    EXPECT_LT(differenceFrom(*big, *again, printOn(*again)), 8.0);
    EXPECT_EQ(camera_.albumCount(), 1u);

    // The note over the picture said how it went.
    expectNoteIn(shot);
}

// A printer that is gone costs only the paper: the print is in the album and the gallery,
// the camera carries on, and the note and standard error say so.
TEST_F(PaperPrintTest, APrinterThatIsGoneLosesNothing) {
    printer_.stop();
    const auto shot = camera_.home().root() / "gone.png";
    ASSERT_EQ(
        camera_.runScript("key space\nwait 6\nshot " + shot.string() + "\nkey space\nwait 6\n",
                          withPrinter()),
        0)
        << camera_.errors();
    EXPECT_NE(camera_.errors().find("not printed on paper (the print is kept)"), std::string::npos)
        << camera_.errors();
    EXPECT_EQ(camera_.albumCount(), 2u);
    const auto names = camera_.listedNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(camera_.bothFiles(names[0]) && camera_.bothFiles(names[1]));

    expectNoteIn(shot);
}

// Closing the camera right after the shot still prints it: the job is handed over first.
TEST_F(PaperPrintTest, QuittingRightAfterTheShotStillPrints) {
    ASSERT_EQ(camera_.runScript("key space\nquit\n", withPrinter()), 0) << camera_.errors();
    EXPECT_TRUE(printer_.waitForDocuments(1));
    EXPECT_EQ(printer_.documents().size(), 1u);
    EXPECT_EQ(camera_.albumCount(), 1u);
}

// The printers command names the printer's paper and the one photo prints go on; CUPS lists
// it among its printers where it can see it.
TEST_F(PaperPrintTest, ThePrintersCommandShowsThePaper) {
    ASSERT_EQ(camera_.runCommand(std::string(MORVANE_BINARY) + " printers --printer " +
                                 printer_.address() + " > " +
                                 (camera_.home().root() / "one.txt").string()),
              0)
        << camera_.errors();
    const std::string one = TempHome::readText(camera_.home().root() / "one.txt");
    EXPECT_NE(one.find("na_index-4x6_4x6in  102 x 152 mm  (photo prints)"), std::string::npos)
        << one;
    EXPECT_NE(one.find(printer_.name()), std::string::npos) << one;

    camera_.runCommand(std::string(MORVANE_BINARY) + " printers > " +
                       (camera_.home().root() / "all.txt").string());
    const std::string all = TempHome::readText(camera_.home().root() / "all.txt");
    // CUPS names a network printer by its announced name with every other sign made '_'.
    std::string listed = printer_.name();
    for (char& c : listed)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    if (all.find(listed) == std::string::npos)
        GTEST_SKIP() << "CUPS does not list the test printer here (no scheduler, and its "
                        "network search did not find it): "
                     << all << camera_.errors();
    SUCCEED();
}

// A batch goes to paper too, one job a print, after the files are written.
TEST_F(PaperPrintTest, ABatchGoesToPaper) {
    const auto photo = camera_.home().root() / "photo.png";
    const auto picture =
        platform::Image::fromPixels(400, 300, std::vector<std::uint32_t>(400 * 300, 0xff3060c0u));
    ASSERT_TRUE(picture->writePng(photo));
    const auto out = camera_.home().root() / "out";
    const std::string said = (camera_.home().root() / "said.txt").string();
    ASSERT_EQ(camera_.runCommand(std::string(MORVANE_BINARY) + " print " + photo.string() +
                                 " --out " + out.string() + " --printer " + printer_.address() +
                                 " > " + said),
              0)
        << camera_.errors();
    EXPECT_NE(TempHome::readText(said).find("photo.jpg is job 1"), std::string::npos)
        << TempHome::readText(said);
    ASSERT_TRUE(printer_.waitForDocuments(1));
    EXPECT_TRUE(std::filesystem::exists(out / "photo.jpg"));

    printer_.stop();
    EXPECT_EQ(camera_.runCommand(std::string(MORVANE_BINARY) + " print " + photo.string() +
                                 " --out " + out.string() + " --force --printer " +
                                 printer_.address() + " > " + said),
              1);
    EXPECT_NE(camera_.errors().find("not printed on paper"), std::string::npos) << camera_.errors();
    EXPECT_TRUE(std::filesystem::exists(out / "photo.jpg"));
}
