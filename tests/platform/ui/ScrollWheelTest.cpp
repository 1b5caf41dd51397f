#include "platform/ui/Button.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

// The mouse wheel, the touchpad and the page keys on the two kinds of scroll view the camera
// has: paging strips and a tall list.
struct Wheel : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    std::shared_ptr<Window> window = std::make_shared<Window>();
    // A category-like strip: ten pages 270 points wide.
    std::shared_ptr<ScrollView> strip = std::make_shared<ScrollView>(Rect{27, 382, 270, 50});
    // A gallery-like list: twenty rows of 270 points under a 44-point bar.
    std::shared_ptr<ScrollView> list = std::make_shared<ScrollView>(Rect{0, 44, 320, 436});
    int stripRests = 0;
    int listRests = 0;

    void SetUp() override {
        loop.makeMain();
        strip->setContentSize({2700, 50});
        strip->setPagingEnabled(true);
        strip->setOnScrollEnded([this] { ++stripRests; });
        list->setContentSize({320, 20 * 270});
        list->setRowHeight(270);
        list->setOnScrollEnded([this] { ++listRests; });
        window->addSubview(strip);
        window->addSubview(list);
    }
    // A touchpad stroke along the strip: each part of a notch, then `every` seconds.
    void stroke(const std::vector<double>& parts, double every) {
        for (double part : parts) {
            EXPECT_TRUE(strip->scrollWheel({part, 0}));
            loop.runFor(every);
        }
    }
    double across() const { return strip->contentOffset().x; }
    double down() const { return list->contentOffset().y; }
};

} // namespace

TEST_F(Wheel, ANotchTurnsAStripOnePageEitherWheelAndRestsOnce) {
    EXPECT_TRUE(strip->scrollWheel({1, 0}));
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 270);
    EXPECT_EQ(stripRests, 1);
    // A plain mouse has only the vertical wheel: towards the user is the next page.
    EXPECT_TRUE(strip->scrollWheel({0, 1}));
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 540);
    EXPECT_TRUE(strip->scrollWheel({0, -1}));
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 270);
    EXPECT_EQ(stripRests, 3);

    // Nothing lies past either end, and a notch there comes to no rest it did not leave.
    strip->setContentOffset({2430, 0});
    stripRests = 0;
    strip->scrollWheel({1, 0});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 2430);
    strip->setContentOffset({0, 0});
    stripRests = 0;
    strip->scrollWheel({0, -1});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 0);
    EXPECT_EQ(stripRests, 0);
}

TEST_F(Wheel, NotchesFasterThanThePagesTurnAddUpToFewerPages) {
    // A burst, as a spun wheel or a touchpad that sends notches gives: one page.
    for (int k = 0; k < 5; ++k)
        strip->scrollWheel({0, 1});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 270);
    EXPECT_EQ(stripRests, 1);
    // Notches the pages keep up with: a page each.
    for (int k = 0; k < 3; ++k) {
        strip->scrollWheel({0, 1});
        loop.runFor(0.4);
    }
    EXPECT_DOUBLE_EQ(across(), 1080);
    // Turning back while a page still turns goes back from where the strip is drawn.
    strip->scrollWheel({0, 1});
    loop.runFor(0.05);
    strip->scrollWheel({0, -1});
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 1080);
}

TEST_F(Wheel, ATouchpadStrokeFollowsAndSettlesAsAReleasedDragDoes) {
    // Slow and short of half a page: the content follows, then goes back.
    stroke({0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2}, 0.1);
    EXPECT_NEAR(across(), 96, 1e-9);
    EXPECT_EQ(stripRests, 0) << "still under the fingers";
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 0);
    EXPECT_EQ(stripRests, 1);

    // Slow past half a page: the next page.
    stroke(std::vector<double>(14, 0.2), 0.1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 270);

    // Short but quick: a flick.
    stroke({0.25, 0.25, 0.25, 0.25}, 0.01);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 540);

    // Over three pages at once: still one page from where it began.
    stroke(std::vector<double>(50, 0.5), 0.01);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 810);

    // Back past the start the content stops at the end, with no bounce.
    strip->setContentOffset({0, 0});
    stroke({-0.5, -0.5}, 0.01);
    EXPECT_DOUBLE_EQ(across(), 0);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(across(), 0);
}

TEST_F(Wheel, AListMovesANotchAtOnceWithinItsContentAndIgnoresTheSidewaysWheel) {
    EXPECT_TRUE(list->scrollWheel({0, 2}));
    EXPECT_DOUBLE_EQ(down(), 2 * ScrollView::kWheelStep);
    EXPECT_EQ(listRests, 1);
    EXPECT_TRUE(list->scrollWheel({0, -5}));
    EXPECT_DOUBLE_EQ(down(), 0);
    EXPECT_FALSE(list->scrollWheel({3, 0}));
    EXPECT_DOUBLE_EQ(down(), 0);
    list->scrollWheel({0, 1000});
    EXPECT_DOUBLE_EQ(down(), 20 * 270 - 436);

    // A finger holding the content keeps it.
    list->setContentOffset({0, 0});
    window->touchDown({160, 300});
    EXPECT_FALSE(list->scrollWheel({0, 1}));
    window->touchUp({160, 300});
    EXPECT_DOUBLE_EQ(down(), 0);
}

TEST_F(Wheel, PageKeysMoveWholeRowsAndAddUpWhilePressedInARow) {
    // 436 points show one whole 270-point row: a page is one row, onto the row's top.
    EXPECT_TRUE(list->scrollPage(1));
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 270);
    list->scrollPage(1);
    list->scrollPage(1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 810);
    // From between two rows, up goes to the top of the row partly shown.
    list->setContentOffset({0, 900});
    list->scrollPage(-1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 810);

    EXPECT_TRUE(list->scrollToEdge(1));
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 20 * 270 - 436);
    EXPECT_FALSE(list->scrollPage(1));
    EXPECT_FALSE(list->scrollToEdge(1));
    list->scrollPage(-1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 18 * 270);
    listRests = 0;
    list->scrollToEdge(-1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 0);
    EXPECT_EQ(listRests, 1);

    // Rows of 80 points: five of them to a page.
    list->setRowHeight(80);
    list->scrollPage(1);
    loop.runFor(1);
    EXPECT_DOUBLE_EQ(down(), 400);
}

TEST_F(Wheel, TheWindowGivesTheWheelToTheScrollViewUnderThePointer) {
    auto button = std::make_shared<Button>(Rect{20, 20, 100, 100});
    list->addSubview(button);
    // Over a control in the list: the list moves.
    EXPECT_TRUE(window->scrollWheel({40, 100}, {0, 1}));
    EXPECT_DOUBLE_EQ(down(), ScrollView::kWheelStep);
    // Over the bar above it: nothing there scrolls.
    EXPECT_FALSE(window->scrollWheel({160, 20}, {0, 1}));
    EXPECT_DOUBLE_EQ(down(), ScrollView::kWheelStep);
    // Covered by something in front, as an alert covers the screen: nothing moves.
    auto cover = std::make_shared<View>(Rect{0, 0, 320, 480});
    window->addSubview(cover);
    EXPECT_FALSE(window->scrollWheel({160, 300}, {0, 1}));
    EXPECT_DOUBLE_EQ(down(), ScrollView::kWheelStep);
    // A picture laid over it that takes no touches does not cover it.
    cover->setUserInteractionEnabled(false);
    EXPECT_TRUE(window->scrollWheel({160, 300}, {0, 1}));
    EXPECT_DOUBLE_EQ(down(), 2 * ScrollView::kWheelStep);
}
