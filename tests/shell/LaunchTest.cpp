#include "capture/MorvaneViewController.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "support/LaunchedCamera.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

using platform::PropertyList;

namespace {

class LaunchTest : public ::testing::Test {
protected:
    void writePreferences(const PropertyList::Dictionary& values) {
        platform::UserDefaults defaults = platform::UserDefaults::standard();
        for (const auto& [key, value] : values)
            defaults.setObjectForKey(value, key);
        ASSERT_TRUE(defaults.synchronize());
    }

    TempHome home_;
};

TEST_F(LaunchTest, FirstLaunchCopiesTheListsAndASecondLaunchRestoresTheStrips) {
    {
        LaunchedCamera camera;
        camera.launch();
        MorvaneAppDelegate& delegate = camera.delegate();

        for (const char* name : {"config", "prints"}) {
            const auto shipped = platform::Bundle::main().pathForResource(name, "plist");
            ASSERT_TRUE(shipped);
            EXPECT_EQ(TempHome::readText(home_.documents() / (std::string(name) + ".plist")),
                      TempHome::readText(*shipped));
        }
        // The shipped list names the first category and the first frame.
        EXPECT_EQ(delegate.mainScreen()->catScrollView()->contentOffset().x, 0);
        EXPECT_EQ(delegate.mainScreen()->miniFrameView()->contentOffset().x, 0);

        delegate.mainScreen()->catScrollView()->setContentOffset({2430, 0});
        delegate.mainScreen()->miniFrameView()->setContentOffset({640, 0});
        camera.terminate();
    }
    const auto config = PropertyList::readFile(home_.documents() / "config.plist");
    ASSERT_TRUE(config && config->size() >= 9);
    EXPECT_EQ((*config)[2], PropertyList::string("10"));
    EXPECT_EQ((*config)[8], PropertyList::string("2"));

    LaunchedCamera camera;
    camera.launch();
    EXPECT_EQ(camera.delegate().mainScreen()->catScrollView()->contentOffset().x, 2430);
    EXPECT_EQ(camera.delegate().mainScreen()->miniFrameView()->contentOffset().x, 640);
}

TEST_F(LaunchTest, PreferencesChooseTheSkinAndTheFlags) {
    writePreferences({{"skin", PropertyList::string("2")},
                      {"canVibrate", PropertyList::boolean(true)},
                      {"isHighQuality", PropertyList::string("YES")}});
    home_.setEnv("MORVANE_MODEL", "iPhone1,2");
    LaunchedCamera camera;
    camera.launch();
    MorvaneAppDelegate& delegate = camera.delegate();

    const auto skin = std::dynamic_pointer_cast<platform::ImageView>(
        delegate.mainScreen()->cameraView()->subviews().front());
    ASSERT_TRUE(skin);
    EXPECT_TRUE(samePixels(skin->image(), shippedImage("frame2")));
    EXPECT_TRUE(
        samePixels(delegate.developingShow()->shutterView()->image(), shippedImage("background2")));
    EXPECT_FALSE(samePixels(skin->image(), shippedImage("frame0")));

    EXPECT_TRUE(delegate.canVibrate());
    EXPECT_TRUE(delegate.isHighQuality());
    EXPECT_FALSE(delegate.canDate());
    EXPECT_EQ(delegate.platformString(), "iPhone1,2");
}

TEST_F(LaunchTest, WithoutPreferencesTheFirstSkinAndNoFlags) {
    LaunchedCamera camera;
    camera.launch();
    MorvaneAppDelegate& delegate = camera.delegate();
    EXPECT_TRUE(
        samePixels(delegate.developingShow()->shutterView()->image(), shippedImage("background0")));
    EXPECT_FALSE(delegate.canVibrate());
    EXPECT_FALSE(delegate.canDate());
    EXPECT_FALSE(delegate.isHighQuality());
    EXPECT_FALSE(delegate.isEditMode());
    EXPECT_FALSE(delegate.isSaving());
    EXPECT_EQ(delegate.libraryPhoto()->originalImage(), nullptr);
}

TEST_F(LaunchTest, ASkinThatIsNotShippedFallsBackToTheFirst) {
    writePreferences({{"skin", PropertyList::integer(97)}});
    LaunchedCamera camera;
    camera.launch();
    EXPECT_TRUE(samePixels(camera.delegate().developingShow()->shutterView()->image(),
                           shippedImage("background0")));
}

TEST_F(LaunchTest, TheScreenStacksAsBuiltAndTheFrameStripCoversTheTopOfTheButtons) {
    LaunchedCamera camera;
    camera.launch();
    MorvaneAppDelegate& delegate = camera.delegate();

    const std::vector<std::shared_ptr<platform::View>> windowOrder = {
        delegate.viewController()->view(),    delegate.libraryPhoto()->libraryPhotoView(),
        delegate.mainScreen()->cameraView(),  delegate.mainScreen()->miniFrameView(),
        delegate.libraryController()->view(), delegate.recentController()->view()};
    EXPECT_EQ(delegate.window()->subviews(), windowOrder);
    const auto& inCamera = delegate.mainScreen()->cameraView()->subviews();
    ASSERT_EQ(inCamera.size(), 8u);
    EXPECT_EQ(inCamera[1], delegate.mainScreen()->cameraLamp());
    EXPECT_EQ(inCamera[2], delegate.mainScreen()->libraryLamp());
    EXPECT_EQ(inCamera[3], delegate.mainScreen()->shutterButton());
    EXPECT_EQ(inCamera[7], delegate.mainScreen()->catScrollView());

    // One lamp picture for both lamps, only the camera's lit.
    ASSERT_NE(delegate.mainScreen()->cameraLamp()->image(), nullptr);
    EXPECT_EQ(delegate.mainScreen()->cameraLamp()->image(),
              delegate.mainScreen()->libraryLamp()->image());
    EXPECT_FALSE(delegate.mainScreen()->cameraLamp()->isHidden());
    EXPECT_TRUE(delegate.mainScreen()->libraryLamp()->isHidden());
    EXPECT_TRUE(delegate.libraryPhoto()->libraryPhotoView()->isHidden());

    // Touches: the faint frame strip takes y 310 to 320 of the control row.
    auto& window = *delegate.window();
    EXPECT_EQ(window.hitTest({150, 315}), delegate.mainScreen()->miniFrameView());
    EXPECT_EQ(window.hitTest({280, 330}), delegate.mainScreen()->shutterButton());
    EXPECT_EQ(window.hitTest({150, 400}), delegate.mainScreen()->catScrollView());
    EXPECT_EQ(window.hitTest({150, 470}), inCamera[6]);

    // The library and the gallery wait off screen; the developing views are on none yet.
    EXPECT_EQ(delegate.libraryController()->view()->transform().ty, 480);
    EXPECT_EQ(delegate.recentController()->view()->transform().ty, 480);
    EXPECT_EQ(delegate.developingShow()->developingMsgView()->superview(), nullptr);
    EXPECT_EQ(delegate.developingShow()->shutterView()->superview(), nullptr);
    EXPECT_EQ(delegate.developingShow()->activityWheel()->superview(),
              delegate.developingShow()->developingMsgView());
    EXPECT_EQ(delegate.developingShow()->developedView()->superview(), nullptr);

    // Pages: category k shows cat k+1; frame j shows miniFrame j.
    const auto& categories = delegate.mainScreen()->catScrollView()->subviews();
    ASSERT_EQ(categories.size(), 10u);
    EXPECT_EQ(categories[9]->frame(), platform::Rect(2430, 0, 270, 50));
    EXPECT_TRUE(samePixels(std::static_pointer_cast<platform::ImageView>(categories[9])->image(),
                           shippedImage("cat10")));
    EXPECT_EQ(delegate.mainScreen()->miniFrameView()->contentSize(), platform::Size(960, 320));
    EXPECT_EQ(delegate.mainScreen()->catScrollView()->contentSize(), platform::Size(2700, 50));
}

TEST_F(LaunchTest, BrokenListsStillLaunchOnTheShippedPagesAndTerminateSoundly) {
    // Too short, with an element 2 far out of range, and a print list that is a dictionary.
    TempHome::writeText(home_.documents() / "config.plist",
                        PropertyList::array({PropertyList::string("x"), PropertyList::string("y"),
                                             PropertyList::string("42")})
                            .toXml());
    TempHome::writeText(home_.documents() / "prints.plist",
                        PropertyList::dictionary({{"a", PropertyList::string("b")}}).toXml());
    {
        LaunchedCamera camera;
        camera.launch();
        EXPECT_EQ(camera.delegate().mainScreen()->catScrollView()->contentOffset().x, 0);
        EXPECT_TRUE(camera.delegate().printLists().printsXML().empty());
        camera.delegate().mainScreen()->catScrollView()->setContentOffset({540, 0});
        camera.terminate();
    }
    const auto config = PropertyList::readFile(home_.documents() / "config.plist");
    ASSERT_TRUE(config);
    EXPECT_GE(config->size(), 9u);
    EXPECT_EQ((*config)[2], PropertyList::string("3"));
    const auto prints = PropertyList::readFile(home_.documents() / "prints.plist");
    ASSERT_TRUE(prints);
    EXPECT_TRUE(prints->isArray());
}

} // namespace
