#include "ShutterTestCamera.h"

namespace {

class CameraPathTest : public ShutterTestCamera {};

TEST_F(CameraPathTest, CameraIsPresentedAtOnceFirstAndHalfASecondAfterEachReappearance) {
    // SetUp gave the first appearance: shown at once, without a slide.
    EXPECT_TRUE(controller().isCameraShown());
    EXPECT_TRUE(controller().isFirstLoad());
    auto picker = controller().cameraController();
    ASSERT_TRUE(picker);
    EXPECT_FALSE(picker->showsCameraControls());
    EXPECT_TRUE(picker->delegate());

    const double completion = pressAndAwaitCompletion();
    EXPECT_FALSE(controller().isCameraShown());
    // The picker is kept, and the same one comes back.
    EXPECT_EQ(controller().cameraController(), picker);
    runUntil(completion + 0.49);
    EXPECT_FALSE(controller().isCameraShown());
    runUntil(completion + 0.51);
    EXPECT_TRUE(controller().isCameraShown());
    EXPECT_EQ(controller().modalViewController(), picker);
}

TEST_F(CameraPathTest, StillThatGivesNoPrintStillEndsTheSequence) {
    // A picker answer without a picture (a broken capture) must not leave the shutter closed.
    // The show as the shutter opens it, without the picture request.
    delegate().setIsSaving(true);
    delegate().startDeveloping();
    delegate().initResult();
    controller().imagePickerControllerDidFinishPickingMediaWithInfo(
        *controller().cameraController(), {});
    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    EXPECT_FALSE(delegate().isSaving());
    runUntil(now() + 3);
    EXPECT_FALSE(shutterInWindow());
    EXPECT_TRUE(controller().isCameraShown());
}

TEST_F(CameraPathTest, CameraPrintIsMadeFromTheStripsAtThePress) {
    // Category 9 (the last full page but one) and frame 2, high quality on a later model.
    delegate().mainScreen()->catScrollView()->setContentOffset({2160, 0});
    delegate().mainScreen()->miniFrameView()->setContentOffset({640, 0});
    delegate().setIsHighQuality(true);
    delegate().setPlatformString("iPhone2,1");
    runUntil(pressAndAwaitCompletion() + 3);
    const auto files = smallPrintFiles();
    ASSERT_EQ(files.size(), 1u);
    const auto full = delegate().loadImage("big_" + *files.begin());
    ASSERT_TRUE(full);
    EXPECT_EQ(full->pixelWidth(), 1500);
    EXPECT_EQ(full->pixelHeight(), 1500);
    // One picture in the album per print.
    std::size_t albumPictures = 0;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(home_.root() / "Pictures" / "Morvane", ignored))
        albumPictures += entry.path().extension() == ".jpg";
    EXPECT_EQ(albumPictures, 1u);
}

} // namespace
