#include "capture/MorvaneViewController.h"
#include "library/LibraryViewController.h"
#include "support/LaunchedCamera.h"

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

TEST_F(PickerPresentationTest, TheLibraryPickerOpensOverTheLibraryViewAndItsCancelReturnsToCamera) {
    const auto& picker = library().rollController();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), Source::PhotoLibrary);
    EXPECT_FALSE(picker->allowsEditing());

    delegate().libraryButtonTouched();
    EXPECT_EQ(library().modalViewController(), picker);
    camera_.runFor(1);
    // The picker's Cancel control.
    picker->cancelPicking();
    camera_.runFor(1);
    EXPECT_EQ(library().modalViewController(), nullptr);
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_FALSE(delegate().cameraLamp()->isHidden());
    EXPECT_TRUE(delegate().libraryLamp()->isHidden());
    EXPECT_EQ(library().view()->transform().ty, 480);
    EXPECT_TRUE(delegate().libraryPhotoView()->isHidden());
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
