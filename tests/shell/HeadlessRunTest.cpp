#include "support/LaunchedCamera.h"
#include "support/ScriptedCamera.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

using platform::PropertyList;

namespace {

// The program itself, headless, as a user scripts it.
class HeadlessRunTest : public ::testing::Test {
protected:
    // The largest difference of any colour channel between the shot's pixels in a screen
    // rectangle and a picture drawn there at its own size.
    static int largestDifference(const platform::Image& shot, const platform::Image& picture,
                                 int left, int top) {
        int largest = 0;
        for (int y = 0; y < picture.pixelHeight(); ++y) {
            for (int x = 0; x < picture.pixelWidth(); ++x) {
                const std::uint32_t a = shot.pixel(left + x, top + y);
                const std::uint32_t b = picture.pixel(x, y);
                for (int shift = 0; shift < 24; shift += 8) {
                    const int d = std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
                    largest = std::max(largest, d);
                }
            }
        }
        return largest;
    }

    ScriptedCamera camera_;
};

TEST_F(HeadlessRunTest, SwipedStripsAreRecordedAtQuitAndShownAgainAtTheNextStart) {
    // Two pages on the category strip, one on the frame strip.
    ASSERT_EQ(camera_.runScript("swipe 250 407 60 407\nwait 1\nswipe 250 407 60 407\nwait 1\n"
                                "swipe 280 150 40 150\nwait 1\nquit\n"),
              0)
        << camera_.errors();
    const auto config = PropertyList::readFile(camera_.home().documents() / "config.plist");
    ASSERT_TRUE(config);
    EXPECT_EQ((*config)[2], PropertyList::string("3"));
    EXPECT_EQ((*config)[8], PropertyList::string("1"));

    const auto shot = camera_.home().root() / "again.png";
    ASSERT_EQ(camera_.runScript("shot " + shot.string() + "\n"), 0);
    const platform::ImageRef screen = platform::Image::contentsOfFile(shot);
    const platform::ImageRef category = shippedImage("cat3");
    ASSERT_TRUE(screen && category);
    EXPECT_EQ(screen->pixelWidth(), 320);
    EXPECT_LE(largestDifference(*screen, *category, 27, 382), 2);
    // The end of the script quits like a window closing: the pages are written again.
    EXPECT_EQ((*PropertyList::readFile(camera_.home().documents() / "config.plist"))[2],
              PropertyList::string("3"));
}

TEST_F(HeadlessRunTest, AMalformedScriptStopsBeforeTheCameraStarts) {
    EXPECT_EQ(camera_.runScript("wait 1\nswipe 1 2 3\nquit\n"), 2);
    EXPECT_NE(camera_.errors().find("script:2:"), std::string::npos) << camera_.errors();
    EXPECT_FALSE(std::filesystem::exists(camera_.home().documents() / "config.plist"));

    // A key the camera has no use for is as wrong as a bad line, and the camera's keys are named.
    EXPECT_EQ(camera_.runScript("key space\nkey Q\n"), 2);
    EXPECT_NE(camera_.errors().find("script:2: unknown key 'Q'; the keys are:\n  space c l r "),
              std::string::npos)
        << camera_.errors();
    EXPECT_FALSE(std::filesystem::exists(camera_.home().documents() / "config.plist"));
}

TEST_F(HeadlessRunTest, APrintGoesIntoTheAlbumUnderTheCamerasNameAndTheTimeItWasTaken) {
    ASSERT_EQ(camera_.runScript("key space\nwait 5\nquit\n"), 0) << camera_.errors();
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(camera_.home().root() / "Pictures"))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names, std::vector<std::string>{"Morvane"});
    names.clear();
    for (const auto& entry :
         std::filesystem::directory_iterator(camera_.home().root() / "Pictures" / "Morvane"))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(Morvane-\d{8}-\d{6}\.jpg)"))) << names[0];
}

} // namespace
