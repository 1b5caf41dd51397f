#include "platform/ui/RunLoop.h"
#include "platform/ui/TimingCurve.h"
#include "platform/ui/View.h"
#include "platform/ui/VirtualClock.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Animation : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    std::shared_ptr<View> view = std::make_shared<View>(Rect{0, 0, 100, 100});
    void SetUp() override { loop.makeMain(); }
    double drawnY() const { return view->presentationTransform().ty; }
};

} // namespace

TEST(TimingCurveShape, EaseInEaseOutIsSymmetricSlowAtTheEndsAndMonotonic) {
    EXPECT_DOUBLE_EQ(TimingCurve::easeInEaseOut(0), 0);
    EXPECT_DOUBLE_EQ(TimingCurve::easeInEaseOut(1), 1);
    EXPECT_NEAR(TimingCurve::easeInEaseOut(0.5), 0.5, 1e-6);
    EXPECT_LT(TimingCurve::easeInEaseOut(0.1), 0.1);
    EXPECT_GT(TimingCurve::easeInEaseOut(0.9), 0.9);
    double previous = 0;
    for (int i = 1; i <= 100; ++i) {
        const double t = i / 100.0;
        const double v = TimingCurve::easeInEaseOut(t);
        EXPECT_GE(v, previous);
        EXPECT_NEAR(v + TimingCurve::easeInEaseOut(1 - t), 1.0, 1e-6);
        previous = v;
    }
}

TEST_F(Animation, ModelHoldsAtOnceWhileTheDrawnValueEasesThere) {
    View::animate(0.5, [&] { view->setTransform(AffineTransform::makeTranslation(0, 480)); });
    EXPECT_DOUBLE_EQ(view->transform().ty, 480);
    EXPECT_DOUBLE_EQ(drawnY(), 0);
    loop.runFor(0.125);
    const double quarter = drawnY();
    EXPECT_GT(quarter, 0);
    EXPECT_LT(quarter, 480 * 0.25); // slow start, not linear
    loop.runFor(0.125);
    EXPECT_NEAR(drawnY(), 240, 1e-6);
    loop.runFor(0.125);
    EXPECT_NEAR(drawnY(), 480 - quarter, 1e-6);
    loop.runFor(0.125);
    EXPECT_DOUBLE_EQ(drawnY(), 480);
    EXPECT_DOUBLE_EQ(view->transform().ty, 480);
}

TEST_F(Animation, BlockFormMatchesAnimateAndDefaultsToAFifthOfASecond) {
    View::beginAnimations();
    View::setAnimationDuration(1.0);
    view->setAlpha(0);
    View::commitAnimations();
    EXPECT_DOUBLE_EQ(view->alpha(), 0);
    loop.runFor(0.5);
    EXPECT_NEAR(view->presentationAlpha(), 0.5, 1e-6);
    loop.runFor(0.5);

    View::beginAnimations(); // no duration set
    view->setAlpha(1);
    View::commitAnimations();
    loop.runFor(0.1);
    EXPECT_NEAR(view->presentationAlpha(), 0.5, 1e-6);
    loop.runFor(0.1);
    EXPECT_DOUBLE_EQ(view->presentationAlpha(), 1);
}

TEST_F(Animation, SettingATranslationTwiceNeverAccumulates) {
    view->setTransform(AffineTransform::makeTranslation(0, 480));
    view->setTransform(AffineTransform::makeTranslation(0, 480));
    EXPECT_DOUBLE_EQ(view->transform().ty, 480);
    View::animate(0.5, [&] { view->setTransform(AffineTransform::makeTranslation(0, 480)); });
    loop.runFor(0.25);
    EXPECT_DOUBLE_EQ(drawnY(), 480);
    View::animate(0.5, [&] {
        view->setTransform(AffineTransform::makeTranslation(0, 100));
        view->setTransform(AffineTransform::makeTranslation(0, 100));
    });
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(view->transform().ty, 100);
    EXPECT_DOUBLE_EQ(drawnY(), 100);
}

TEST_F(Animation, AnInterruptingAnimationStartsFromWhereTheViewIsDrawn) {
    View::animate(1.0, [&] { view->setTransform(AffineTransform::makeTranslation(0, 400)); });
    loop.runFor(0.5);
    EXPECT_NEAR(drawnY(), 200, 1e-6);
    View::animate(1.0, [&] {
        view->setTransform(AffineTransform::makeTranslation(0, 50));
        view->setTransform(AffineTransform::makeTranslation(0, 0));
    });
    // No jump: it leaves from 200, not from the old target or the intermediate value.
    EXPECT_NEAR(drawnY(), 200, 1e-6);
    loop.runFor(0.5);
    EXPECT_NEAR(drawnY(), 100, 1e-6);
    loop.runFor(0.5);
    EXPECT_DOUBLE_EQ(drawnY(), 0);
}

TEST_F(Animation, ChangesOutsideABlockOrWithZeroDurationAreDrawnAtOnce) {
    View::animate(1.0, [&] { view->setTransform(AffineTransform::makeTranslation(0, 400)); });
    loop.runFor(0.5);
    view->setTransform(AffineTransform::makeTranslation(0, 10));
    EXPECT_DOUBLE_EQ(drawnY(), 10);
    View::animate(0, [&] { view->setCenter({7, 8}); });
    EXPECT_EQ(view->presentationCenter(), (Point{7, 8}));
    EXPECT_FALSE(loop.animator().isInTransaction());
}

TEST_F(Animation, FrameChangesAnimateTooAndTheAnimatorKnowsWhenMotionEnds) {
    View::animate(0.5, [&] { view->setFrame({100, 0, 100, 100}); });
    EXPECT_DOUBLE_EQ(view->frame().x(), 100);
    EXPECT_TRUE(loop.animator().isAnimating(loop.now()));
    loop.runFor(0.25);
    EXPECT_NEAR(view->presentationCenter().x, 100, 1e-6);
    loop.runFor(0.25);
    EXPECT_FALSE(loop.animator().isAnimating(loop.now()));
    EXPECT_DOUBLE_EQ(view->presentationCenter().x, 150);
}
