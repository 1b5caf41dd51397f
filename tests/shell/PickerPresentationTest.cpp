#include "capture/MorvaneViewController.h"
#include "library/LibraryViewController.h"
#include "shell/KeyboardShortcuts.h"
#include "support/LaunchedCamera.h"

#include "platform/ui/PhotoLibraryView.h"

#include <gtest/gtest.h>

namespace {

using Source = platform::ImagePickerController::SourceType;

class PickerPresentationTest : public ::testing::Test {
protected:
    void SetUp() override { camera_.launch(); }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    MorvaneViewController& root() { return *delegate().viewController(); }
    LibraryViewController& library() { return *delegate().libraryController(); }

    TempHome home_;
    LaunchedCamera camera_;
};

TEST_F(PickerPresentationTest, TheCameraShowsBeneathTheScreenAtOnceAndComesBackHalfASecondLater) {
    const auto& picker = root().cameraController();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), Source::Camera);
    EXPECT_FALSE(picker->showsCameraControls());
    EXPECT_TRUE(picker->isNavigationBarHidden());
    EXPECT_TRUE(picker->wantsFullScreenLayout());
    EXPECT_EQ(picker->delegate().get(),
              static_cast<platform::ImagePickerControllerDelegate*>(&root()));

    // The first appearance presents at once, in the root view's place at the back.
    EXPECT_FALSE(root().isFirstLoad());
    root().viewDidAppear(false);
    EXPECT_TRUE(root().isFirstLoad());
    EXPECT_EQ(root().modalViewController(), picker);
    EXPECT_EQ(delegate().window()->subviews().front(), picker->view());

    // After a dismissal the view shows again and the camera follows 0.5 s later.
    root().dismissModalViewControllerAnimated(false);
    EXPECT_EQ(root().modalViewController(), nullptr);
    camera_.runFor(0.45);
    EXPECT_EQ(root().modalViewController(), nullptr);
    camera_.runFor(0.1);
    EXPECT_EQ(root().modalViewController(), picker);
    EXPECT_TRUE(root().isFirstLoad());
    EXPECT_EQ(delegate().window()->subviews().front(), picker->view());
}

TEST_F(PickerPresentationTest, MSwitchesTheLivePictureSideEvenOverTheGallery) {
    const auto& picker = root().cameraController();
    ASSERT_TRUE(picker);
    // Until told otherwise the camera picker follows the application's choice.
    EXPECT_FALSE(picker->mirrorsLivePicture());
    camera_.application().setMirrorsLivePicture(true);
    EXPECT_TRUE(picker->mirrorsLivePicture());

    EXPECT_TRUE(KeyboardShortcuts::handle(delegate(), "m"));
    EXPECT_FALSE(camera_.application().mirrorsLivePicture());
    EXPECT_FALSE(picker->mirrorsLivePicture());

    delegate().recentButtonTouched();
    camera_.runFor(1);
    EXPECT_TRUE(KeyboardShortcuts::handle(delegate(), "m"));
    EXPECT_TRUE(camera_.application().mirrorsLivePicture());
    EXPECT_TRUE(picker->mirrorsLivePicture());
    // The gallery still covers the camera, so the shutter key stays with it.
    EXPECT_FALSE(KeyboardShortcuts::handle(delegate(), "space"));
}

TEST_F(PickerPresentationTest, TheLibraryPickerOpensOverTheLibraryViewAndItsCancelReturnsToCamera) {
    const auto& picker = library().rollController();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), Source::PhotoLibrary);
    EXPECT_FALSE(picker->allowsEditing());

    delegate().libraryButtonTouched();
    EXPECT_EQ(library().modalViewController(), picker);
    camera_.runFor(1);
    // An empty library says where photographs go.
    EXPECT_EQ(picker->libraryView()->hint(), "No photos yet.\nPut photos (JPEG, PNG, HEIC\nor WebP) in\n" +
                                                 (home_.root() / "Pictures").string() +
                                                 "\nto make prints of them.");
    // The picker's Cancel control.
    picker->cancelPicking();
    camera_.runFor(1);
    EXPECT_EQ(library().modalViewController(), nullptr);
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_FALSE(delegate().mainScreen()->cameraLamp()->isHidden());
    EXPECT_TRUE(delegate().mainScreen()->libraryLamp()->isHidden());
    EXPECT_EQ(library().view()->transform().ty, 480);
    EXPECT_TRUE(delegate().libraryPhoto()->libraryPhotoView()->isHidden());
}

TEST_F(PickerPresentationTest, EscapeCancelsTheLibraryPickerButLeavesTheCameraAlone) {
    root().viewDidAppear(false);
    auto& application = camera_.application();
    EXPECT_FALSE(application.key("escape"));
    EXPECT_EQ(root().modalViewController(), root().cameraController());

    EXPECT_TRUE(application.key("l"));
    camera_.runFor(1);
    // The picker covers the camera's controls.
    EXPECT_FALSE(application.key("space"));
    EXPECT_FALSE(application.key("right"));
    EXPECT_TRUE(application.key("escape"));
    camera_.runFor(1);
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_EQ(library().modalViewController(), nullptr);
    EXPECT_EQ(root().modalViewController(), root().cameraController());
}

} // namespace
