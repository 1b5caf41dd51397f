#include "prints/PrintStore.h"
#include "support/LaunchedCamera.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <sys/wait.h>

using platform::PropertyList;

namespace {

// The program itself, headless, driven by a script as a user would drive it.
class LibraryAndGalleryTest : public ::testing::Test {
protected:
    int runScript(const std::string& script) {
        const auto file = home_.root() / "script.txt";
        TempHome::writeText(file, script);
        const std::string command = std::string(MORVANE_BINARY) +
                                    " --headless --camera scene --home " + home_.root().string() +
                                    " --script " + file.string() + " 2>" +
                                    (home_.root() / "stderr.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string errors() { return TempHome::readText(home_.root() / "stderr.txt"); }

    // A JPEG as a phone stores a portrait photograph: a landscape bitmap with the scene's top
    // along its left edge and the orientation flag "right" in its EXIF block. The scene is
    // light above and dark below, which every film look keeps.
    void writePortraitJpeg(const std::filesystem::path& path) {
        const int width = 400, height = 300;
        std::vector<std::uint32_t> argb(width * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[y * width + x] = x < width / 2 ? 0xFFF0F0F0u : 0xFF101010u;
        const std::vector<std::uint8_t> jpeg =
            platform::Image::fromPixels(width, height, argb)->jpegData(1.0);
        ASSERT_GT(jpeg.size(), 2u);
        // APP1: "Exif", a little-endian TIFF header and one IFD entry, orientation (0x0112)
        // as a SHORT of value 6.
        const std::uint8_t exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0,
                                     0,    'I',  'I',  0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,
                                     0x01, 0x00, 0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00,
                                     0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpeg.data()), 2);
        out.write(reinterpret_cast<const char*>(exif), sizeof exif);
        out.write(reinterpret_cast<const char*>(jpeg.data() + 2),
                  static_cast<std::streamsize>(jpeg.size() - 2));
    }

    // Prints from an earlier run: n entries, newest first, with both files.
    void seedPrints(int n) {
        std::vector<PropertyList> prints;
        for (int i = n; i >= 1; --i) {
            const std::string name = std::to_string(1000 + i) + ".jpg";
            const auto picture = platform::Image::fromPixels(
                250, 250, std::vector<std::uint32_t>(250 * 250, 0xFF808080u));
            std::filesystem::create_directories(home_.documents());
            ASSERT_TRUE(picture->writeJpeg(home_.documents() / name, 1.0));
            ASSERT_TRUE(picture->writeJpeg(home_.documents() / ("big_" + name), 1.0));
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        ASSERT_TRUE(PropertyList::array(prints).writeFile(home_.documents() / "prints.plist"));
    }

    std::vector<std::string> listedNames() {
        std::vector<std::string> names;
        const auto list = PropertyList::readFile(home_.documents() / "prints.plist");
        if (list)
            for (const PropertyList& entry : list->array())
                names.push_back(PrintStore::printName(entry));
        return names;
    }
    bool bothFiles(const std::string& name) {
        return std::filesystem::exists(home_.documents() / name) &&
               std::filesystem::exists(home_.documents() / ("big_" + name));
    }
    bool noFiles(const std::string& name) {
        return !std::filesystem::exists(home_.documents() / name) &&
               !std::filesystem::exists(home_.documents() / ("big_" + name));
    }

    TempHome home_;
};

// The sum of the colour channels at a point of a picture.
int brightness(const platform::Image& picture, int x, int y) {
    const std::uint32_t p = picture.pixel(x, y);
    return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
}
// The picture within a square of the given side at (left, top) shows the scene upright: its
// upper middle clearly lighter than its lower middle.
bool upright(const platform::Image& picture, int left, int top, int side) {
    const int x = left + side / 2;
    return brightness(picture, x, top + side / 4) >
           brightness(picture, x, top + 3 * side / 4) + 200;
}

TEST_F(LibraryAndGalleryTest, APortraitPhotographIsPreviewedUpright) {
    const auto photo = home_.root() / "portrait.jpg";
    writePortraitJpeg(photo);
    const auto shot = home_.root() / "preview.png";
    ASSERT_EQ(runScript("tap 147 335\nwait 1\npick " + photo.string() + "\nwait 1\nshot " +
                        shot.string() + "\nquit\n"),
              0)
        << errors();
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The scene's top half at the top of the picture area, its bottom half below.
    EXPECT_TRUE(upright(*screen, 0, 0, 320));
    EXPECT_GT(brightness(*screen, 60, 120), brightness(*screen, 260, 200) + 200);
}

TEST_F(LibraryAndGalleryTest, PrintsRemovedInTheGalleryLeaveFilesAndListAgreeing) {
    seedPrints(3);
    const std::string before = TempHome::readText(home_.documents() / "prints.plist");
    const auto shot = home_.root() / "gallery.png";
    // The remove button of the first row lies at (240, 244) on the screen, the remove-all
    // control at the title bar's right.
    ASSERT_EQ(runScript("tap 160 460\nwait 1\nshot " + shot.string() +
                        "\ntap 270 260\nwait 0.5\nalert 1\nwait 0.5\n"
                        "tap 280 22\nwait 0.5\nalert 0\nwait 0.5\nquit\n"),
              0)
        << errors();
    EXPECT_NE(TempHome::readText(home_.documents() / "prints.plist"), before);
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"1002.jpg", "1001.jpg"}));
    EXPECT_TRUE(noFiles("1003.jpg"));
    EXPECT_TRUE(bothFiles("1002.jpg"));
    EXPECT_TRUE(bothFiles("1001.jpg"));
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The first row's grey print shows below the title bar.
    const std::uint32_t row = screen->pixel(160, 150);
    EXPECT_NEAR((row >> 8) & 0xFF, 0x80, 6);

    ASSERT_EQ(runScript("tap 160 460\nwait 1\ntap 280 22\nwait 0.5\nalert 1\nwait 0.5\nquit\n"), 0)
        << errors();
    EXPECT_TRUE(listedNames().empty());
    EXPECT_TRUE(noFiles("1002.jpg"));
    EXPECT_TRUE(noFiles("1001.jpg"));
}

TEST_F(LibraryAndGalleryTest, ALibraryPrintIsUprightEverywhereAndCanBeRemovedAgain) {
    seedPrints(2);
    const auto photo = home_.root() / "portrait.jpg";
    writePortraitJpeg(photo);
    const auto shot = home_.root() / "gallery.png";
    // Library button, pick, shutter; then the gallery once the print is out.
    ASSERT_EQ(runScript("tap 147 335\nwait 1\npick " + photo.string() +
                        "\nwait 1\ntap 285 335\nwait 5\ntap 160 460\nwait 1\nshot " +
                        shot.string() + "\nquit\n"),
              0)
        << errors();
    std::vector<std::string> names = listedNames();
    ASSERT_EQ(names.size(), 3u);
    const std::string made = names.front();
    ASSERT_TRUE(bothFiles(made));
    const platform::ImageRef small = platform::Image::contentsOfFile(home_.documents() / made);
    ASSERT_TRUE(small);
    EXPECT_TRUE(upright(*small, 0, 0, small->pixelWidth()));
    std::vector<platform::ImageRef> album;
    for (const auto& entry :
         std::filesystem::directory_iterator(home_.root() / "Pictures" / "Morvane"))
        album.push_back(platform::Image::contentsOfFile(entry.path()));
    ASSERT_EQ(album.size(), 1u);
    ASSERT_TRUE(album[0]);
    EXPECT_TRUE(upright(*album[0], 0, 0, album[0]->pixelWidth()));
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The first row of the gallery: the picture at (35, 20) of the scroll area below the bar.
    EXPECT_TRUE(upright(*screen, 35, 64, 250));

    // The new print first, then all that are left, each confirmed with OK.
    ASSERT_EQ(runScript("tap 160 460\nwait 1\ntap 270 260\nwait 0.5\nalert 1\nwait 0.5\n"
                        "tap 280 22\nwait 0.5\nalert 1\nwait 0.5\nquit\n"),
              0)
        << errors();
    EXPECT_TRUE(listedNames().empty());
    for (const std::string& name : names)
        EXPECT_TRUE(noFiles(name)) << name;
    // The album keeps its copy.
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(home_.root() / "Pictures" / "Morvane"),
                      std::filesystem::directory_iterator()),
        1);
}

} // namespace
