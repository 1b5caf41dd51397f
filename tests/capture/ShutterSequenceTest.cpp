#include "ShutterTestCamera.h"

namespace {

class ShutterSequenceTest : public ShutterTestCamera {};

TEST_F(ShutterSequenceTest, CameraPrintTimelineFromPressToRemoval) {
    ASSERT_TRUE(controller().isCameraShown());
    EXPECT_FALSE(shutterInWindow());
    const int vibrationsBefore = vibrations();

    // The press: everything of the show is set up before the picture is taken.
    delegate().shutterButtonTouched();
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_TRUE(shutterInWindow());
    EXPECT_EQ(shutterY(), 320);
    EXPECT_EQ(shutterDrawnY(), 0); // first print: from its rest
    EXPECT_TRUE(developingShown());
    EXPECT_TRUE(stripShown());
    EXPECT_EQ(printY(), -250);
    EXPECT_EQ(printDrawnY(), -250);
    // The panel lies over the developing message, both over the main screen.
    const auto& windowViews = delegate().window()->subviews();
    ASSERT_GE(windowViews.size(), 2u);
    EXPECT_EQ(windowViews.back(), delegate().developingShow()->developingMsgView());
    EXPECT_EQ(windowViews[windowViews.size() - 2], delegate().developingShow()->shutterView());

    // The completion: camera gone, shutter free again, print dropping, panel still down.
    const double completion = pressAndAwaitCompletion();
    EXPECT_FALSE(controller().isCameraShown());
    EXPECT_EQ(vibrations(), vibrationsBefore + 1);
    EXPECT_EQ(printY(), 85);
    EXPECT_TRUE(developingShown());
    EXPECT_EQ(shutterY(), 320);
    EXPECT_EQ(smallPrintFiles().size(), 1u);
    EXPECT_NE(developedImage().image(), nullptr);

    runUntil(completion + 0.45);
    EXPECT_TRUE(developingShown());
    EXPECT_EQ(shutterY(), 320);
    EXPECT_FALSE(controller().isCameraShown());
    EXPECT_GT(printDrawnY(), -250);
    EXPECT_LT(printDrawnY(), 85);

    // + 0.5: the show ends, the panel rises past its rest, the camera is back.
    runUntil(completion + 0.55);
    EXPECT_FALSE(developingShown());
    EXPECT_EQ(shutterY(), -320);
    EXPECT_GT(shutterDrawnY(), 0);
    EXPECT_TRUE(shutterInWindow());
    EXPECT_TRUE(controller().isCameraShown());

    runUntil(completion + 1.6);
    EXPECT_EQ(printDrawnY(), 85);
    EXPECT_TRUE(stripShown());
    EXPECT_TRUE(shutterInWindow());

    // + 2.0: the panel and the strip leave the screen; camera mode is unchanged.
    runUntil(completion + 2.05);
    EXPECT_FALSE(shutterInWindow());
    EXPECT_FALSE(stripShown());
    EXPECT_FALSE(delegate().isEditMode());
    EXPECT_EQ(vibrations(), vibrationsBefore + 1);
}

TEST_F(ShutterSequenceTest, QuickSecondPressIsIgnoredAndLaterPrintsSlideTwiceAsFar) {
    delegate().shutterButtonTouched();
    delegate().shutterButtonTouched();
    camera_.tap(kShutterButton);
    const double first = now();
    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    runUntil(first + 3);
    EXPECT_EQ(smallPrintFiles().size(), 1u);
    EXPECT_EQ(delegate().printLists().printsXML().size(), 1u);

    // The panel waits 320 points above its rest, and the next slide covers 640 points in the
    // same half second, landing where the first one did.
    EXPECT_EQ(shutterY(), -320);
    delegate().shutterButtonTouched();
    EXPECT_EQ(shutterDrawnY(), -320);
    EXPECT_EQ(shutterY(), 320);
    const double pressed = now();
    runUntil(pressed + 0.25);
    const double halfway = shutterDrawnY();
    EXPECT_GT(halfway, -320);
    EXPECT_LT(halfway, 320);
    runUntil(pressed + 3);
    EXPECT_EQ(smallPrintFiles().size(), 2u);
}

TEST_F(ShutterSequenceTest, VibratesOncePerPrintOnlyWhenTheDeviceCannotBuzzItself) {
    delegate().setCanVibrate(false);
    int before = vibrations();
    runUntil(pressAndAwaitCompletion() + 3);
    EXPECT_EQ(vibrations(), before + 1);

    delegate().setCanVibrate(true);
    before = vibrations();
    runUntil(pressAndAwaitCompletion() + 3);
    EXPECT_EQ(vibrations(), before);
}

TEST_F(ShutterSequenceTest, PressWhileTheCameraIsAwayIsRefusedAndLeavesNothingBehind) {
    const double completion = pressAndAwaitCompletion();
    runUntil(completion + 0.2);
    ASSERT_FALSE(controller().isCameraShown());
    const auto files = smallPrintFiles();
    const double shutterBefore = shutterY();
    delegate().shutterButtonTouched();
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_EQ(shutterY(), shutterBefore);
    runUntil(completion + 3);
    EXPECT_EQ(smallPrintFiles(), files);

    // Once the camera is back the shutter works again.
    ASSERT_TRUE(controller().isCameraShown());
    runUntil(pressAndAwaitCompletion() + 3);
    EXPECT_EQ(smallPrintFiles().size(), files.size() + 1);
}

TEST_F(ShutterSequenceTest, PressInTheTwoSecondsAfterCompletionLosesItsViewsToTheOldRemoval) {
    const double first = pressAndAwaitCompletion();
    runUntil(first + 1.0);
    ASSERT_TRUE(controller().isCameraShown());

    // Accepted: the guard is the busy flag alone.
    delegate().shutterButtonTouched();
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_TRUE(shutterInWindow());
    double second = now();
    for (int step = 0; step < 500 && delegate().isSaving(); ++step)
        camera_.runFor(0.001);
    second = now();

    // The first print's removal still fires on time, in the middle of the second sequence.
    runUntil(first + 2.05);
    EXPECT_FALSE(shutterInWindow());
    EXPECT_FALSE(stripShown());
    // The second sequence still ends: its panel rises off screen and its own removal runs.
    runUntil(second + 2.05);
    EXPECT_EQ(shutterY(), -320);
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_EQ(smallPrintFiles().size(), 2u);
}

TEST_F(ShutterSequenceTest, TwoPrintsInOneSecondKeepTheirOwnFiles) {
    const double first = pressAndAwaitCompletion();
    runUntil(first + 0.6);
    pressAndAwaitCompletion();
    runUntil(now() + 3);
    const auto files = smallPrintFiles();
    ASSERT_EQ(files.size(), 2u);
    for (const auto& name : files)
        EXPECT_TRUE(std::filesystem::exists(home_.documents() / ("big_" + name))) << name;
    ASSERT_EQ(delegate().printLists().printsXML().size(), 2u);
    // Newest first.
    EXPECT_NE(delegate().printLists().printsXML()[0][0].stringValue(),
              delegate().printLists().printsXML()[1][0].stringValue());
    EXPECT_GT(delegate().printLists().printsXML()[0][0].stringValue(),
              delegate().printLists().printsXML()[1][0].stringValue());
}

} // namespace
