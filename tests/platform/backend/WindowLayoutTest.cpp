#include "platform/backend/WindowLayout.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

const Size kScreen{320, 480};

WindowLayout layoutFor(double width, double height) {
    return WindowLayout(Size{width, height}, Size{width, height}, kScreen);
}

} // namespace

TEST(WindowLayout, AWindowOfTheScreensProportionsIsFilledOneToOne) {
    const auto layout = layoutFor(640, 960);
    EXPECT_DOUBLE_EQ(layout.displayScale(), 2);
    EXPECT_DOUBLE_EQ(layout.drawScale(), 2);
    EXPECT_EQ(layout.pictureWidth(), 640);
    EXPECT_EQ(layout.pictureHeight(), 960);
    EXPECT_EQ(layout.screenRect(), (Rect{0, 0, 640, 960}));
    // The centre of the first pixel is a quarter point in; the last pixel is still on screen.
    const Point first = layout.screenPointFromWindow({0.5, 0.5});
    EXPECT_DOUBLE_EQ(first.x, 0.25);
    EXPECT_DOUBLE_EQ(first.y, 0.25);
    EXPECT_TRUE(layout.isOnScreen({639.5, 959.5}));
    EXPECT_FALSE(layout.isOnScreen({640.5, 100}));
}

TEST(WindowLayout, ResizedWindowsKeepTheProportionsBetweenBars) {
    // Too wide: bars left and right, the screen as tall as the window.
    const auto wide = layoutFor(1000, 960);
    EXPECT_EQ(wide.screenRect(), (Rect{180, 0, 640, 960}));
    EXPECT_FALSE(wide.isOnScreen({100, 480}));
    EXPECT_FALSE(wide.isOnScreen({900, 480}));
    const Point middle = wide.screenPointFromWindow({500, 480});
    EXPECT_DOUBLE_EQ(middle.x, 160);
    EXPECT_DOUBLE_EQ(middle.y, 240);

    // Too tall: bars above and below.
    const auto tall = layoutFor(640, 1200);
    EXPECT_EQ(tall.screenRect(), (Rect{0, 120, 640, 960}));
    EXPECT_FALSE(tall.isOnScreen({320, 60}));
    EXPECT_DOUBLE_EQ(tall.screenPointFromWindow({320, 120}).y, 0);

    // A scale that is no whole number is drawn at that scale, not stretched from another,
    // kept a little below the window's where both sides then come out in whole pixels.
    const auto square = layoutFor(400, 400);
    EXPECT_NEAR(square.displayScale(), 400.0 / 480, 1e-12);
    EXPECT_DOUBLE_EQ(square.drawScale(), 133.0 / 160);
    EXPECT_EQ(square.pictureWidth(), 266);
    EXPECT_EQ(square.pictureHeight(), 399);
    EXPECT_EQ(square.screenRect(), (Rect{67, 0, 266, 399}));
}

TEST(WindowLayout, EveryWindowSizeGivesACentredOneToOneScreenInsideTheWindow) {
    for (int width = 40; width <= 2000; width += 37) {
        for (int height = 50; height <= 2000; height += 41) {
            SCOPED_TRACE(::testing::Message() << width << " x " << height);
            const auto layout = layoutFor(width, height);
            const Rect r = layout.screenRect();
            ASSERT_FALSE(r.isEmpty());
            // Inside the window, on whole pixels, centred to within a pixel.
            EXPECT_GE(r.x(), 0);
            EXPECT_GE(r.y(), 0);
            EXPECT_LE(r.maxX(), width);
            EXPECT_LE(r.maxY(), height);
            EXPECT_EQ(r.x(), std::floor(r.x()));
            EXPECT_EQ(r.width(), std::floor(r.width()));
            EXPECT_LE(std::abs(r.x() - (width - r.maxX())), 1);
            EXPECT_LE(std::abs(r.y() - (height - r.maxY())), 1);
            // Exactly 2:3, and as large as fits: one step larger would not.
            EXPECT_EQ(r.width() * 3, r.height() * 2);
            EXPECT_TRUE(r.width() + 2 > width || r.height() + 3 > height);
            // The drawn picture is shown pixel for pixel.
            EXPECT_EQ(r.width(), layout.pictureWidth());
            EXPECT_EQ(r.height(), layout.pictureHeight());
            EXPECT_NEAR(r.width(), 320 * layout.drawScale(), 1e-6);
            // Window and screen points map back and forth.
            const Point p{r.x() + r.width() * 0.3, r.y() + r.height() * 0.7};
            const Point back = layout.windowPointFromScreen(layout.screenPointFromWindow(p));
            EXPECT_NEAR(back.x, p.x, 1e-9);
            EXPECT_NEAR(back.y, p.y, 1e-9);
        }
    }
}

TEST(WindowLayout, HighDensityDisplaysMapWindowCoordinatesThroughThePixelRatio) {
    // The window system counts 320 by 480 units, the display has twice the pixels.
    const WindowLayout layout(Size{320, 480}, Size{640, 960}, kScreen);
    EXPECT_DOUBLE_EQ(layout.displayScale(), 2);
    EXPECT_EQ(layout.pictureWidth(), 640);
    const Point p = layout.screenPointFromWindow({100, 300});
    EXPECT_DOUBLE_EQ(p.x, 100);
    EXPECT_DOUBLE_EQ(p.y, 300);
    const Point w = layout.windowPointFromScreen({100, 300});
    EXPECT_DOUBLE_EQ(w.x, 100);
    EXPECT_DOUBLE_EQ(w.y, 300);
}

TEST(WindowLayout, HugeWindowsStretchAPictureOfBoundedSize) {
    const auto layout = layoutFor(4000, 6000);
    EXPECT_DOUBLE_EQ(layout.displayScale(), 12.5);
    EXPECT_DOUBLE_EQ(layout.drawScale(), WindowLayout::kMaxDrawScale);
    EXPECT_EQ(layout.pictureWidth(), 2560);
    EXPECT_EQ(layout.pictureHeight(), 3840);
    EXPECT_EQ(layout.screenRect(), (Rect{0, 0, 4000, 6000}));
    EXPECT_DOUBLE_EQ(layout.screenPointFromWindow({2000, 3000}).x, 160);
}

TEST(WindowLayout, WindowsWithoutAreaShowNothingAndTouchNothing) {
    const double nan = std::nan("");
    // Too small for two by three pixels counts as no area too.
    for (const Size size : {Size{0, 0}, Size{0, 480}, Size{-10, 20}, Size{nan, 100},
                            Size{INFINITY, 480}, Size{1, 1}}) {
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height);
        const WindowLayout layout(size, size, kScreen);
        EXPECT_TRUE(layout.screenRect().isEmpty());
        EXPECT_EQ(layout.drawScale(), 0);
        EXPECT_FALSE(layout.isOnScreen({0, 0}));
    }
    const WindowLayout none;
    EXPECT_TRUE(none.screenRect().isEmpty());
    EXPECT_FALSE(none.isOnScreen({0, 0}));
}
