#include "support/OrientedPhoto.h"
#include "support/ScriptedCamera.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <filesystem>

using platform::PropertyList;

namespace {

// The program itself, headless, driven by a script as a user would drive it.
class LibraryAndGalleryTest : public ::testing::Test {
protected:
    // A JPEG as a phone stores a portrait photograph: a landscape bitmap with the scene's top
    // along its left edge and the orientation flag "right" (6) in its EXIF block. The scene is
    // light above and dark below, which every film look keeps.
    static void writePortraitJpeg(const std::filesystem::path& path) {
        ASSERT_TRUE(oriented::writePhoto(
            path, 6, 300, 400, [](int, int v) { return v < 200 ? 0xFFF0F0F0u : 0xFF101010u; }));
    }

    ScriptedCamera camera_;
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
    const auto photo = camera_.home().root() / "portrait.jpg";
    writePortraitJpeg(photo);
    const auto shot = camera_.home().root() / "preview.png";
    ASSERT_EQ(camera_.runScript("tap 147 335\nwait 1\npick " + photo.string() + "\nwait 1\nshot " +
                                shot.string() + "\nquit\n"),
              0)
        << camera_.errors();
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The scene's top half at the top of the picture area, its bottom half below.
    EXPECT_TRUE(upright(*screen, 0, 0, 320));
    EXPECT_GT(brightness(*screen, 60, 120), brightness(*screen, 260, 200) + 200);
}

TEST_F(LibraryAndGalleryTest, PrintsRemovedInTheGalleryLeaveFilesAndListAgreeing) {
    ASSERT_TRUE(camera_.seedPrints(3));
    const std::string before = TempHome::readText(camera_.home().documents() / "prints.plist");
    const auto shot = camera_.home().root() / "gallery.png";
    // The remove button of the first row lies at (240, 244) on the screen, the remove-all
    // control at the title bar's right.
    ASSERT_EQ(camera_.runScript("tap 160 460\nwait 1\nshot " + shot.string() +
                                "\ntap 270 260\nwait 0.5\nalert 1\nwait 0.5\n"
                                "tap 280 22\nwait 0.5\nalert 0\nwait 0.5\nquit\n"),
              0)
        << camera_.errors();
    EXPECT_NE(TempHome::readText(camera_.home().documents() / "prints.plist"), before);
    EXPECT_EQ(camera_.listedNames(), (std::vector<std::string>{"1002.jpg", "1001.jpg"}));
    EXPECT_TRUE(camera_.noFiles("1003.jpg"));
    EXPECT_TRUE(camera_.bothFiles("1002.jpg"));
    EXPECT_TRUE(camera_.bothFiles("1001.jpg"));
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The first row's grey print shows below the title bar.
    const std::uint32_t row = screen->pixel(160, 150);
    EXPECT_NEAR((row >> 8) & 0xFF, 0x80, 6);

    ASSERT_EQ(
        camera_.runScript("tap 160 460\nwait 1\ntap 280 22\nwait 0.5\nalert 1\nwait 0.5\nquit\n"),
        0)
        << camera_.errors();
    EXPECT_TRUE(camera_.listedNames().empty());
    EXPECT_TRUE(camera_.noFiles("1002.jpg"));
    EXPECT_TRUE(camera_.noFiles("1001.jpg"));
}

TEST_F(LibraryAndGalleryTest, ALibraryPrintIsUprightEverywhereAndCanBeRemovedAgain) {
    ASSERT_TRUE(camera_.seedPrints(2));
    const auto photo = camera_.home().root() / "portrait.jpg";
    writePortraitJpeg(photo);
    const auto shot = camera_.home().root() / "gallery.png";
    // Library button, pick, shutter; then the gallery once the print is out.
    ASSERT_EQ(camera_.runScript("tap 147 335\nwait 1\npick " + photo.string() +
                                "\nwait 1\ntap 285 335\nwait 5\ntap 160 460\nwait 1\nshot " +
                                shot.string() + "\nquit\n"),
              0)
        << camera_.errors();
    std::vector<std::string> names = camera_.listedNames();
    ASSERT_EQ(names.size(), 3u);
    const std::string made = names.front();
    ASSERT_TRUE(camera_.bothFiles(made));
    const platform::ImageRef small =
        platform::Image::contentsOfFile(camera_.home().documents() / made);
    ASSERT_TRUE(small);
    EXPECT_TRUE(upright(*small, 0, 0, small->pixelWidth()));
    std::vector<platform::ImageRef> album;
    for (const auto& entry : std::filesystem::directory_iterator(camera_.album()))
        album.push_back(platform::Image::contentsOfFile(entry.path()));
    ASSERT_EQ(album.size(), 1u);
    ASSERT_TRUE(album[0]);
    EXPECT_TRUE(upright(*album[0], 0, 0, album[0]->pixelWidth()));
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    ASSERT_TRUE(screen);
    // The first row of the gallery: the picture at (35, 20) of the scroll area below the bar.
    EXPECT_TRUE(upright(*screen, 35, 64, 250));

    // The new print first, then all that are left, each confirmed with OK.
    ASSERT_EQ(camera_.runScript("tap 160 460\nwait 1\ntap 270 260\nwait 0.5\nalert 1\nwait 0.5\n"
                                "tap 280 22\nwait 0.5\nalert 1\nwait 0.5\nquit\n"),
              0)
        << camera_.errors();
    EXPECT_TRUE(camera_.listedNames().empty());
    for (const std::string& name : names)
        EXPECT_TRUE(camera_.noFiles(name)) << name;
    // The album keeps its copy.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(camera_.album()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
