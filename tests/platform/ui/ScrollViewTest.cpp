#include "platform/ui/ScrollView.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

// A category-like strip: pages 270 points wide, ten of them.
struct Strip : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    std::shared_ptr<Window> window = std::make_shared<Window>();
    std::shared_ptr<ScrollView> strip = std::make_shared<ScrollView>(Rect{27, 382, 270, 50});

    void SetUp() override {
        loop.makeMain();
        strip->setContentSize({2700, 50});
        strip->setPagingEnabled(true);
        window->addSubview(strip);
    }
    // A finger from x0 to x1 at y 400 over `seconds` in ten moves, then lifted.
    void drag(double x0, double x1, double seconds, bool lift = true) {
        window->touchDown({x0, 400});
        for (int k = 1; k <= 10; ++k) {
            loop.runFor(seconds / 10);
            window->touchMove({x0 + (x1 - x0) * k / 10, 400});
        }
        if (lift)
            window->touchUp({x1, 400});
    }
    double offset() const { return strip->contentOffset().x; }
};

} // namespace

TEST_F(Strip, ASlowDragPastHalfAPageGoesOnAndShortOfHalfSettlesBack) {
    drag(250, 110, 2.0); // 140 points: just past half of 270
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 270);
    drag(250, 130, 2.0); // 120 points: short of half
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 270);
    drag(50, 200, 2.0); // back 150 points
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 0);
}

TEST_F(Strip, AQuickFlickPagesEvenIfShort) {
    drag(200, 160, 0.1); // 40 points in 0.1 s
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 270);
    drag(160, 200, 0.1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 0);
}

TEST_F(Strip, AReleaseNeverMovesMoreThanOnePageFromWhereTheDragBegan) {
    strip->setContentOffset({1350, 0});
    // Dragged two and a half pages and flicked: still only one page on.
    window->touchDown({290, 400});
    for (int k = 1; k <= 20; ++k) {
        loop.runFor(0.01);
        window->touchMove({290 - 34.0 * k, 400});
    }
    EXPECT_DOUBLE_EQ(offset(), 1350 + 680);
    window->touchUp({290 - 680, 400});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 1620);
}

TEST_F(Strip, DraggingPastTheStartBouncesAndTheOffsetShowsIt) {
    drag(100, 180, 1.0, false);
    EXPECT_DOUBLE_EQ(offset(), -40); // half the finger's 80 points
    window->touchUp({180, 400});
    loop.runFor(0.1);
    EXPECT_LT(offset(), 0); // still springing back, readable mid-way
    EXPECT_GT(offset(), -40);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 0);
    strip->setContentOffset({2430, 0});
    drag(200, 100, 1.0, false);
    EXPECT_DOUBLE_EQ(offset(), 2480);
    window->touchUp({100, 400});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 2430);
}

TEST_F(Strip, SettlingTakesAboutAThirdOfASecondAndATouchStopsIt) {
    drag(250, 100, 2.0);
    const double released = offset();
    loop.runFor(0.15);
    const double midway = offset();
    EXPECT_GT(midway, released);
    EXPECT_LT(midway, 270);
    EXPECT_TRUE(strip->isDecelerating());
    window->touchDown({200, 400});
    loop.runFor(0.5);
    EXPECT_NEAR(offset(), midway, 1e-6);
    window->touchUp({200, 400});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 270);
    EXPECT_FALSE(strip->isDecelerating());
}

TEST_F(Strip, SetContentOffsetIsImmediateAndScrollingCanBeTurnedOff) {
    strip->setContentOffset({2430, 0});
    EXPECT_DOUBLE_EQ(offset(), 2430);
    strip->setScrollEnabled(false);
    drag(250, 100, 0.2);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(offset(), 2430);
}

TEST(ScrollViewGallery, TallContentScrollsVerticallyAndGlidesBackInside) {
    RunLoop loop(std::make_shared<VirtualClock>());
    loop.makeMain();
    auto window = std::make_shared<Window>();
    auto list = std::make_shared<ScrollView>(Rect{0, 0, 320, 420});
    list->setContentSize({320, 270 * 5});
    window->addSubview(list);
    const double maximum = 270 * 5 - 420;
    window->touchDown({160, 400});
    for (int k = 1; k <= 10; ++k) {
        loop.runFor(0.02);
        window->touchMove({160 + 5.0 * k, 400 - 30.0 * k});
    }
    EXPECT_DOUBLE_EQ(list->contentOffset().x, 0); // no sideways motion
    EXPECT_DOUBLE_EQ(list->contentOffset().y, 300);
    window->touchUp({210, 100});
    // A fast flick runs into the end, goes past it for a moment and comes back.
    double furthest = 0;
    for (int i = 0; i < 300; ++i) {
        loop.runFor(1.0 / 60);
        furthest = std::max(furthest, list->contentOffset().y);
    }
    EXPECT_GT(furthest, maximum);
    EXPECT_DOUBLE_EQ(list->contentOffset().y, maximum);
}

// Whoever records the page a strip stands at is told each time it comes to rest, and only
// then: never while a finger holds it or while it still moves, and the offset it then reads is
// a page.
TEST_F(Strip, ComingToRestIsToldOnceTheContentStopsWhereItStays) {
    std::vector<double> rests;
    strip->setOnScrollEnded([&] { rests.push_back(offset()); });

    drag(250, 110, 2.0, false);
    EXPECT_TRUE(rests.empty());
    window->touchUp({110, 400});
    EXPECT_TRUE(rests.empty()) << "told while still settling";
    loop.runFor(1);
    EXPECT_EQ(rests, std::vector<double>{270});

    // A finger that catches the settling content: no rest until it lets go.
    drag(250, 110, 2.0);
    loop.runFor(0.05);
    window->touchDown({150, 400});
    loop.runFor(1);
    EXPECT_EQ(rests.size(), 1u);
    window->touchUp({150, 400});
    loop.runFor(1);
    ASSERT_EQ(rests.size(), 2u);
    EXPECT_EQ(std::fmod(rests.back(), 270), 0);

    // Set by the program: at rest at once.
    strip->setContentOffset({810, 0});
    EXPECT_EQ(rests.back(), 810);
}
