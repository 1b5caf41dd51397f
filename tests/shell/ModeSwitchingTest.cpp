#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "support/LaunchedCamera.h"

#include <gtest/gtest.h>

namespace {

// Screen points inside the untitled buttons, below the frame strip's edge at y 320.
constexpr platform::Point kCameraButton{45, 340};
constexpr platform::Point kLibraryButton{150, 340};
constexpr platform::Point kRecentButton{160, 465};

class ModeSwitchingTest : public ::testing::Test {
protected:
    void SetUp() override { camera_.launch(); }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    double libraryY() { return delegate().libraryController()->view()->transform().ty; }
    double galleryY() { return delegate().recentController()->view()->transform().ty; }

    // Everything a mode shows, to compare whole states.
    struct State {
        bool editMode, cameraLamp, libraryLamp, photoShown;
        double libraryY, galleryY;
        bool operator==(const State&) const = default;
    };
    State state() {
        return {delegate().isEditMode(),
                !delegate().mainScreen()->cameraLamp()->isHidden(),
                !delegate().mainScreen()->libraryLamp()->isHidden(),
                !delegate().libraryPhoto()->libraryPhotoView()->isHidden(),
                libraryY(),
                galleryY()};
    }

    // What a picked photograph leaves (its preparation aside): the picker gone, the library
    // view back below the screen, the preview shown, edit mode kept.
    void choosePhotograph() {
        auto& library = *delegate().libraryController();
        library.unloadLibrary();
        library.view()->setTransform(platform::AffineTransform::makeTranslation(0, 480));
        delegate().libraryPhoto()->libraryPhotoView()->setHidden(false);
    }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(ModeSwitchingTest, TheLibraryButtonEntersEditModeAndTheCameraButtonLeavesIt) {
    const State atLaunch = state();
    EXPECT_EQ(atLaunch, (State{false, true, false, false, 480, 480}));

    // In camera mode the camera button changes nothing at all.
    camera_.tap(kCameraButton);
    camera_.runFor(1);
    EXPECT_EQ(state(), atLaunch);

    camera_.tap(kLibraryButton);
    // Flags and lamps at once; the library view is on its way up.
    EXPECT_EQ(state(), (State{true, false, true, false, 0, 480}));
    camera_.runFor(0.25);
    const double drawn = delegate().libraryController()->view()->presentationTransform().ty;
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, 480);
    camera_.runFor(0.25);
    EXPECT_EQ(delegate().libraryController()->view()->presentationTransform().ty, 0);

    // The library button again keeps edit mode and the picker.
    delegate().libraryButtonTouched();
    EXPECT_EQ(state(), (State{true, false, true, false, 0, 480}));

    // The picker covers the buttons; its cancel and a finished print come back this way.
    delegate().cameraButtonTouched();
    camera_.runFor(1);
    EXPECT_EQ(state(), atLaunch);
}

TEST_F(ModeSwitchingTest, WhileSavingOnlyTheCameraButtonStillWorks) {
    delegate().libraryButtonTouched();
    choosePhotograph();
    delegate().setIsSaving(true);
    const State editing = state();

    camera_.tap(kLibraryButton);
    camera_.tap(kRecentButton);
    camera_.runFor(1);
    EXPECT_EQ(state(), editing);

    camera_.tap(kCameraButton);
    EXPECT_EQ(state(), (State{false, true, false, false, 480, 480}));
    EXPECT_TRUE(delegate().isSaving());

    // Back in camera mode, still saving: the library button is turned away too.
    camera_.tap(kLibraryButton);
    EXPECT_FALSE(delegate().isEditMode());
}

TEST_F(ModeSwitchingTest, TheGalleryOpensOverEitherModeAndLeavesTheModeAlone) {
    delegate().libraryButtonTouched();
    choosePhotograph();
    const State chosen = state();

    camera_.tap(kRecentButton);
    EXPECT_EQ(galleryY(), 0);
    camera_.runFor(0.6);
    delegate().recentController()->doneButtonClicked(nullptr);
    camera_.runFor(0.6);
    EXPECT_EQ(state(), chosen);
    EXPECT_TRUE(delegate().isEditMode());
    EXPECT_FALSE(delegate().mainScreen()->libraryLamp()->isHidden());
}

TEST_F(ModeSwitchingTest, KeysDoWhatATouchCouldDoAtThatMoment) {
    auto& application = camera_.application();
    EXPECT_TRUE(application.key("right"));
    EXPECT_TRUE(application.key("right"));
    EXPECT_TRUE(application.key("down"));
    camera_.runFor(1);
    EXPECT_EQ(delegate().mainScreen()->catScrollView()->contentOffset().x, 540);
    EXPECT_EQ(delegate().mainScreen()->miniFrameView()->contentOffset().x, 320);
    for (int i = 0; i < 12; ++i)
        application.key("right");
    EXPECT_EQ(delegate().mainScreen()->catScrollView()->contentOffset().x, 2430);
    application.key("up");
    application.key("up");
    EXPECT_EQ(delegate().mainScreen()->miniFrameView()->contentOffset().x, 0);

    // The gallery covers the camera: only escape reaches it.
    EXPECT_TRUE(application.key("r"));
    EXPECT_EQ(galleryY(), 0);
    EXPECT_FALSE(application.key("l"));
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_TRUE(application.key("escape"));
    EXPECT_EQ(galleryY(), 480);
}

} // namespace
