#include "platform/backend/WindowLayout.h"

#include <cmath>
#include <numeric>

namespace platform {

namespace {

bool usable(Size size) {
    return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 &&
           size.height > 0;
}

} // namespace

WindowLayout::WindowLayout(Size windowSize, Size drawableSize, Size screenSize)
    : screen_(screenSize) {
    if (!usable(screenSize) || !usable(drawableSize))
        return;
    const double drawableWidth = std::floor(drawableSize.width);
    const double drawableHeight = std::floor(drawableSize.height);
    if (usable(windowSize)) {
        pixelsPerUnitX_ = drawableSize.width / windowSize.width;
        pixelsPerUnitY_ = drawableSize.height / windowSize.height;
    }
    displayScale_ = std::min(drawableWidth / screenSize.width, drawableHeight / screenSize.height);
    // Both sides come out in whole pixels only at multiples of 1 / gcd(width, height): at
    // any other scale the last row or column would be partly covered and show a dark seam.
    double fitting = displayScale_;
    if (screenSize.width == std::floor(screenSize.width) &&
        screenSize.height == std::floor(screenSize.height) && screenSize.width < 1e9 &&
        screenSize.height < 1e9) {
        const double unit = static_cast<double>(std::gcd(
            static_cast<long long>(screenSize.width), static_cast<long long>(screenSize.height)));
        fitting = std::floor(displayScale_ * unit + 1e-9) / unit;
    }
    if (!(fitting > 0)) {
        displayScale_ = 0;
        return;
    }
    drawScale_ = std::min(fitting, kMaxDrawScale);
    pictureWidth_ = static_cast<int>(std::round(screenSize.width * drawScale_));
    pictureHeight_ = static_cast<int>(std::round(screenSize.height * drawScale_));
    // The picture is shown one to one unless it had to be drawn smaller than the window.
    double width = pictureWidth_;
    double height = pictureHeight_;
    if (drawScale_ < fitting) {
        width = std::round(screenSize.width * fitting);
        height = std::round(screenSize.height * fitting);
    }
    width = std::min(width, drawableWidth);
    height = std::min(height, drawableHeight);
    if (width < 1 || height < 1) {
        displayScale_ = drawScale_ = 0;
        pictureWidth_ = pictureHeight_ = 0;
        return;
    }
    screenRect_ = Rect{std::floor((drawableWidth - width) / 2),
                       std::floor((drawableHeight - height) / 2), width, height};
}

Point WindowLayout::screenPointFromWindow(Point windowPoint) const {
    if (screenRect_.isEmpty())
        return Point{-1, -1};
    const double px = windowPoint.x * pixelsPerUnitX_;
    const double py = windowPoint.y * pixelsPerUnitY_;
    return Point{(px - screenRect_.x()) * screen_.width / screenRect_.width(),
                 (py - screenRect_.y()) * screen_.height / screenRect_.height()};
}

Point WindowLayout::windowPointFromScreen(Point screenPoint) const {
    if (screenRect_.isEmpty())
        return Point{};
    const double px = screenRect_.x() + screenPoint.x * screenRect_.width() / screen_.width;
    const double py = screenRect_.y() + screenPoint.y * screenRect_.height() / screen_.height;
    return Point{px / pixelsPerUnitX_, py / pixelsPerUnitY_};
}

bool WindowLayout::isOnScreen(Point windowPoint) const {
    const Point p = screenPointFromWindow(windowPoint);
    return p.x >= 0 && p.y >= 0 && p.x < screen_.width && p.y < screen_.height;
}

} // namespace platform
