#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A camera-like screen: a row of buttons at y 310 to 360 in a full-screen container, and
// over it a paging strip of pictures at alpha 0.3 covering y 0 to 320.
struct Screen : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    std::shared_ptr<Window> window = std::make_shared<Window>();
    std::shared_ptr<View> container = std::make_shared<View>(Rect{0, 0, 320, 480});
    std::shared_ptr<Button> left = std::make_shared<Button>(Rect{5, 310, 80, 50});
    std::shared_ptr<Button> right = std::make_shared<Button>(Rect{250, 310, 70, 50});
    std::shared_ptr<ScrollView> strip = std::make_shared<ScrollView>(Rect{0, 0, 320, 320});
    int leftTaps = 0, rightTaps = 0;

    void SetUp() override {
        loop.makeMain();
        window->addSubview(container);
        container->addSubview(left);
        container->addSubview(right);
        left->addTarget([this] { ++leftTaps; });
        right->addTarget([this] { ++rightTaps; });
        strip->setContentSize({960, 320});
        strip->setPagingEnabled(true);
        for (int j = 0; j < 3; ++j)
            strip->addSubview(std::make_shared<ImageView>(Rect{320.0 * j, 0, 320, 320}));
        window->addSubview(strip);
        strip->setAlpha(0.3);
    }
    void tap(Point p) {
        window->touchDown(p);
        loop.runFor(0.1);
        window->touchUp(p);
    }
};

} // namespace

TEST_F(Screen, TranslucentStripCoversTheTopOfTheButtonRow) {
    EXPECT_EQ(window->hitTest({40, 315}), strip); // image views take no touches
    EXPECT_EQ(window->hitTest({40, 319.9}), strip);
    EXPECT_EQ(window->hitTest({40, 320}), left);
    EXPECT_EQ(window->hitTest({280, 359}), right);
    EXPECT_EQ(window->hitTest({200, 330}), container);
    tap({40, 315});
    EXPECT_EQ(leftTaps, 0);
    tap({40, 330});
    EXPECT_EQ(leftTaps, 1);
}

TEST_F(Screen, HiddenFadedAndNonInteractiveViewsLetTouchesThrough) {
    strip->setAlpha(0.005);
    EXPECT_EQ(window->hitTest({40, 315}), left);
    strip->setAlpha(0.01);
    EXPECT_EQ(window->hitTest({40, 315}), strip);
    strip->setHidden(true);
    EXPECT_EQ(window->hitTest({40, 315}), left);
    strip->setHidden(false);
    strip->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest({40, 315}), left);
    left->setHidden(true);
    EXPECT_EQ(window->hitTest({40, 330}), container);
}

TEST_F(Screen, TransformsMoveWhereAViewIsTouched) {
    auto panel = std::make_shared<View>(Rect{0, 0, 320, 480});
    auto done = std::make_shared<Button>(Rect{10, 10, 60, 30});
    panel->addSubview(done);
    window->addSubview(panel);
    int taps = 0;
    done->addTarget([&] { ++taps; });
    panel->setTransform(AffineTransform::makeTranslation(0, 480));
    // Off the bottom of the screen the panel covers nothing and cannot be tapped.
    EXPECT_EQ(window->hitTest({20, 20}), strip);
    EXPECT_EQ(window->hitTest({20, 330}), left);
    panel->setTransform(AffineTransform::makeTranslation(0, 100));
    EXPECT_EQ(window->hitTest({20, 115}), done);
    tap({20, 115});
    EXPECT_EQ(taps, 1);
    // Scaled about its centre: a 2x button spans x 130..250 around its centre (190, 45).
    auto wide = std::make_shared<Button>(Rect{160, 30, 60, 30});
    window->addSubview(wide);
    wide->setTransform(AffineTransform::makeScale(2, 2));
    EXPECT_EQ(window->hitTest({135, 45}), wide);
    EXPECT_EQ(window->hitTest({125, 45}), strip);
}

TEST_F(Screen, AButtonFiresOnlyOnReleaseInside) {
    std::vector<std::string> events;
    left->addTarget([&] { events.push_back("down"); }, ControlEvent::TouchDown);
    left->addTarget([&] { events.push_back("outside"); }, ControlEvent::TouchUpOutside);
    window->touchDown({40, 330});
    EXPECT_TRUE(left->isHighlighted());
    EXPECT_EQ(leftTaps, 0);
    window->touchMove({40, 400});
    EXPECT_FALSE(left->isHighlighted());
    window->touchUp({40, 400});
    EXPECT_EQ(leftTaps, 0);
    window->touchDown({40, 330});
    window->touchMove({40, 400});
    window->touchMove({41, 331});
    window->touchUp({41, 331});
    EXPECT_EQ(leftTaps, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "outside", "down"}));
    // A disabled button does nothing.
    left->setEnabled(false);
    tap({40, 330});
    EXPECT_EQ(leftTaps, 1);
}

TEST_F(Screen, ADragStartingOnAButtonInsideAScrollViewScrollsInstead) {
    auto list = std::make_shared<ScrollView>(Rect{0, 0, 320, 300});
    list->setContentSize({320, 1000});
    auto remove = std::make_shared<Button>(Rect{240, 200, 68, 38});
    list->addSubview(remove);
    strip->removeFromSuperview();
    window->addSubview(list);
    int removed = 0;
    remove->addTarget([&] { ++removed; });
    window->touchDown({250, 210});
    for (int i = 1; i <= 10; ++i) {
        loop.runFor(0.05);
        window->touchMove({250, 210 - 10.0 * i});
    }
    EXPECT_FALSE(remove->isHighlighted());
    window->touchUp({250, 110});
    EXPECT_EQ(removed, 0);
    EXPECT_GT(list->contentOffset().y, 80);
    // A plain tap still reaches the button wherever the content now lies.
    loop.runFor(5);
    const Point onButton = remove->convertPointToView({10, 10}, nullptr);
    tap(onButton);
    EXPECT_EQ(removed, 1);
}
