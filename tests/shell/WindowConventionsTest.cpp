#include "prints/RecentViewController.h"
#include "shell/KeysOverlay.h"
#include "support/LaunchedCamera.h"
#include "support/ScriptedCamera.h"

#include "platform/foundation/PropertyList.h"
#include "platform/ui/AlertView.h"

#include <gtest/gtest.h>

#include <string>

using platform::PropertyList;

namespace {

// The desktop's ways with a window, played by the headless program as a user would.
class WindowConventionsTest : public ::testing::Test {
protected:
    std::filesystem::path shot(const std::string& name) const {
        return camera_.home().root() / (name + ".png");
    }
    platform::ImageRef picture(const std::string& name) const {
        return platform::Image::contentsOfFile(shot(name));
    }
    // Whether `moved` shows the gallery's rows of `still` moved up by `points`: the same
    // pixels, that much higher, below the title bar.
    static bool scrolledBy(const platform::Image& moved, const platform::Image& still, int points) {
        for (int y = 44; y + points < 480; ++y)
            for (int x = 0; x < 320; ++x)
                if (moved.pixel(x, y) != still.pixel(x, y + points))
                    return false;
        return true;
    }

    ScriptedCamera camera_;
};

} // namespace

TEST_F(WindowConventionsTest, TheWheelAndThePageKeysScrollTheGallery) {
    // Twenty alike prints: the rows repeat every 270 points, so any offset can be told from
    // the shot at the top.
    ASSERT_TRUE(camera_.seedPrints(20));
    const std::string script = "key r\nwait 1\nshot " + shot("top").string() +
                               "\n"
                               "scroll 160 300 0 2\nshot " +
                               shot("wheel").string() +
                               "\n"
                               "key pagedown\nkey pagedown\nwait 1\nshot " +
                               shot("paged").string() +
                               "\n"
                               "key end\nwait 1\nshot " +
                               shot("end").string() +
                               "\n"
                               "key home\nwait 1\nshot " +
                               shot("home").string() + "\n";
    ASSERT_EQ(camera_.runScript(script), 0) << camera_.errors();
    const auto top = picture("top");
    ASSERT_TRUE(top);
    // Two notches: 120 points at once.
    ASSERT_TRUE(picture("wheel"));
    EXPECT_TRUE(scrolledBy(*picture("wheel"), *top, 120));
    EXPECT_FALSE(scrolledBy(*picture("wheel"), *top, 0));
    // Two pages from there: a print's top at the top again, two rows on.
    EXPECT_TRUE(samePixels(picture("paged"), top));
    // The end: the last row's foot at the screen's foot, 5400 - 436 points down.
    ASSERT_TRUE(picture("end"));
    EXPECT_TRUE(scrolledBy(*picture("end"), *top, (5400 - 436) % 270));
    EXPECT_TRUE(samePixels(picture("home"), top));
}

TEST_F(WindowConventionsTest, TheWheelTurnsTheStripsAndCtrlQEndsTheCameraAsClosingDoes) {
    // Two notches down over the film strip, a notch right over the picture, then Ctrl+Q: the
    // strips' pages are written, and nothing after the quit happens.
    ASSERT_EQ(camera_.runScript("scroll 160 407 0 1\nwait 1\nscroll 160 407 0 1\nwait 1\n"
                                "scroll 160 150 1 0\nwait 1\nkey ctrl+q\nkey space\nwait 5\n"),
              0)
        << camera_.errors();
    const auto config = PropertyList::readFile(camera_.home().documents() / "config.plist");
    ASSERT_TRUE(config);
    EXPECT_EQ((*config)[2], PropertyList::string("3"));
    EXPECT_EQ((*config)[8], PropertyList::string("1"));
    EXPECT_TRUE(camera_.listedNames().empty());
    EXPECT_EQ(camera_.albumCount(), 0u);

    // A touchpad's stroke: short and slow goes back, quick goes one page on.
    ASSERT_EQ(camera_.runScript("scroll 160 407 0.1 0\nwait 0.1\nscroll 160 407 0.1 0\nwait 0.1\n"
                                "scroll 160 407 0.1 0\nwait 1\n"
                                "scroll 160 150 0.25 0\nwait 0.01\nscroll 160 150 0.25 0\n"
                                "wait 1\n"),
              0)
        << camera_.errors();
    const auto after = PropertyList::readFile(camera_.home().documents() / "config.plist");
    ASSERT_TRUE(after);
    EXPECT_EQ((*after)[2], PropertyList::string("3"));
    EXPECT_EQ((*after)[8], PropertyList::string("2"));
}

TEST_F(WindowConventionsTest, TheKeysOverlayCoversEverythingUntilAKeyOrAClick) {
    const std::string script = "key f1\nwait 0.5\nshot " + shot("keys").string() +
                               "\n"
                               // Neither the wheel nor the shutter under the overlay moves.
                               "scroll 160 407 0 1\nwait 1\ntap 285 335\nwait 5\nshot " +
                               shot("closed").string() +
                               "\n"
                               // ? as US keyboards type it; Space only closes it.
                               "key /\nkey space\nwait 5\nquit\n";
    ASSERT_EQ(camera_.runScript(script), 0) << camera_.errors();
    EXPECT_TRUE(camera_.listedNames().empty());
    EXPECT_EQ(camera_.albumCount(), 0u);
    const auto keys = picture("keys");
    const auto closed = picture("closed");
    ASSERT_TRUE(keys && closed);
    EXPECT_FALSE(samePixels(keys, closed));
    const auto config = PropertyList::readFile(camera_.home().documents() / "config.plist");
    ASSERT_TRUE(config);
    EXPECT_EQ((*config)[2], PropertyList::string("1"));

    // A script cannot answer through it: it is told what is open.
    EXPECT_EQ(camera_.runScript("key f1\nalert 0\n"), 1);
    EXPECT_NE(camera_.errors().find("the keys overlay is open"), std::string::npos)
        << camera_.errors();
}

TEST(KeysOverlay, OverAnAlertItClosesFirstAndTheAlertKeepsItsKeys) {
    TempHome home;
    LaunchedCamera camera;
    camera.launch();
    auto& delegate = camera.delegate();
    delegate.recentButtonTouched();
    camera.runFor(1);
    delegate.recentController()->removeAllPrints(nullptr);
    camera.runFor(1);
    auto& app = camera.application();
    const auto alert = std::dynamic_pointer_cast<platform::AlertView>(app.frontResponder());
    ASSERT_TRUE(alert);

    // F1 reaches through the alert, Escape then closes the overlay alone.
    EXPECT_TRUE(app.key("f1"));
    ASSERT_TRUE(std::dynamic_pointer_cast<KeysOverlay>(app.frontResponder()));
    EXPECT_TRUE(app.key("escape"));
    EXPECT_EQ(app.frontResponder(), alert);
    EXPECT_TRUE(alert->isVisible());
    // And the alert's own keys are its own again: Return is its default button.
    EXPECT_TRUE(app.key("return"));
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(app.frontResponder(), nullptr);
}
