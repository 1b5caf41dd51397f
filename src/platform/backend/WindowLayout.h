#pragma once

#include "platform/graphics/Geometry.h"

namespace platform {

// Where the screen lies in a window of any size: as large as fits with its proportions
// kept, centred, with black bars on the sides that are left over. The screen is drawn at
// the pixel scale it is shown at, so it stays crisp at every window size; only past
// kMaxDrawScale is a picture stretched.
class WindowLayout {
public:
    // Pixels per point the screen is drawn at, at most (larger windows stretch that picture).
    static constexpr double kMaxDrawScale = 8;

    WindowLayout() = default;
    // windowSize: the window in window coordinates (what mouse positions use);
    // drawableSize: the same area in pixels (larger on a high-density display);
    // screenSize: the screen in points.
    WindowLayout(Size windowSize, Size drawableSize, Size screenSize);

    // Pixels per point that would fill the window on its narrower side.
    double displayScale() const { return displayScale_; }
    // Pixels per point to draw the screen's picture at: the largest scale up to the display
    // scale at which both sides of the screen are whole pixels, at most kMaxDrawScale.
    double drawScale() const { return drawScale_; }
    // The picture's size in pixels when drawn at drawScale(), rounded as a bitmap context
    // rounds it.
    int pictureWidth() const { return pictureWidth_; }
    int pictureHeight() const { return pictureHeight_; }
    // Where the screen is shown, in drawable pixels, whole pixels only so the picture is
    // copied one to one; empty when the window has no area.
    Rect screenRect() const { return screenRect_; }

    // A position in window coordinates as a screen point (outside the screen when the
    // position is on a bar).
    Point screenPointFromWindow(Point windowPoint) const;
    // A screen point in window coordinates.
    Point windowPointFromScreen(Point screenPoint) const;
    bool isOnScreen(Point windowPoint) const;

private:
    Size screen_{320, 480};
    double displayScale_ = 0;
    double drawScale_ = 0;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    Rect screenRect_;
    // Drawable pixels per window coordinate, per axis.
    double pixelsPerUnitX_ = 1;
    double pixelsPerUnitY_ = 1;
};

} // namespace platform
