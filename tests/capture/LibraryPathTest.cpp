#include "ShutterTestCamera.h"

namespace {

class LibraryPathTest : public ShutterTestCamera {};

TEST_F(LibraryPathTest, LibraryPrintTimelineEndsBackInCameraMode) {
    chooseLibraryPhotograph(squarePicture(1200));
    ASSERT_TRUE(delegate().isEditMode());
    const int vibrationsBefore = vibrations();

    delegate().shutterButtonTouched();
    const double pressed = now();
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_TRUE(shutterInWindow());
    EXPECT_TRUE(developingShown());
    EXPECT_TRUE(stripShown());
    EXPECT_EQ(printY(), -250);

    // Nothing is printed before the 0.1 s timer.
    runUntil(pressed + 0.09);
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_TRUE(smallPrintFiles().empty());

    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    const double completion = now();
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_GE(completion - pressed, 0.1 - 1e-9);
    // At completion: the photograph is gone, the show ends at once, the print drops; the
    // live camera was never taken away.
    EXPECT_EQ(delegate().libraryPhoto()->originalImage(), nullptr);
    EXPECT_TRUE(delegate().libraryPhoto()->libraryPhotoView()->isHidden());
    EXPECT_FALSE(developingShown());
    EXPECT_EQ(shutterY(), -320);
    EXPECT_EQ(printY(), 85);
    EXPECT_EQ(vibrations(), vibrationsBefore + 1);
    EXPECT_TRUE(controller().isCameraShown());
    EXPECT_TRUE(delegate().isEditMode());
    EXPECT_EQ(smallPrintFiles().size(), 1u);

    runUntil(completion + 0.5);
    EXPECT_TRUE(shutterInWindow());
    EXPECT_TRUE(delegate().isEditMode());
    EXPECT_LT(shutterDrawnY(), 0);

    runUntil(completion + 2.05);
    EXPECT_FALSE(shutterInWindow());
    EXPECT_FALSE(stripShown());
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_EQ(vibrations(), vibrationsBefore + 1);
}

TEST_F(LibraryPathTest, PressWithoutAPhotographIsRefused) {
    chooseLibraryPhotograph(squarePicture(1200));
    delegate().shutterButtonTouched();
    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    const double completion = now();
    ASSERT_TRUE(delegate().isEditMode());
    ASSERT_EQ(delegate().libraryPhoto()->originalImage(), nullptr);

    // Still in edit mode, nothing left to print: no show, no busy flag, no print.
    runUntil(completion + 1.0);
    const double shutterBefore = shutterY();
    delegate().shutterButtonTouched();
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_EQ(shutterY(), shutterBefore);
    EXPECT_FALSE(developingShown());
    runUntil(completion + 3);
    EXPECT_EQ(smallPrintFiles().size(), 1u);
    EXPECT_FALSE(delegate().isEditMode());
}

TEST_F(LibraryPathTest, CameraButtonDuringALibraryPrintLeavesEditModeAndThePrintGoesOn) {
    chooseLibraryPhotograph(squarePicture(1500));
    delegate().shutterButtonTouched();
    // Not refused while saving: edit mode is left at once.
    delegate().cameraButtonTouched();
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_TRUE(delegate().libraryPhoto()->libraryPhotoView()->isHidden());

    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_EQ(smallPrintFiles().size(), 1u);
    EXPECT_EQ(delegate().libraryPhoto()->originalImage(), nullptr);
    runUntil(now() + 2.05);
    EXPECT_FALSE(shutterInWindow());
    EXPECT_FALSE(delegate().isEditMode());

    // Back in camera mode the shutter takes a picture with the camera.
    runUntil(pressAndAwaitCompletion() + 3);
    EXPECT_EQ(smallPrintFiles().size(), 2u);
}

TEST_F(LibraryPathTest, PrintKeepsThePhotographsOrientationAndBothSizes) {
    // The prepared photograph is stored upside down, so a block in its first stored rows, at
    // the left, belongs at the bottom left of the print.
    chooseLibraryPhotograph(squarePicture(1200));
    runUntil(pressAndAwaitCompletion() + 0.1);
    const auto files = smallPrintFiles();
    ASSERT_EQ(files.size(), 1u);
    const auto small = delegate().loadImage(*files.begin());
    const auto full = delegate().loadImage("big_" + *files.begin());
    ASSERT_TRUE(small && full);
    EXPECT_EQ(small->pixelWidth(), 250);
    EXPECT_EQ(full->pixelWidth(), 750);

    const auto distance = [](std::uint32_t a, std::uint32_t b) {
        int sum = 0;
        for (int shift = 0; shift < 24; shift += 8)
            sum += std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
        return sum;
    };
    // Bottom: block on the left, plain on the right. Top: plain on both sides.
    EXPECT_GT(distance(small->pixel(70, 200), small->pixel(190, 200)), 60);
    EXPECT_LT(distance(small->pixel(70, 50), small->pixel(190, 50)), 30);
}

} // namespace
