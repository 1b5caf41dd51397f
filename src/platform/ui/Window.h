#pragma once

#include "platform/ui/View.h"

namespace platform {

// The screen's root view, 320 by 480 points. It routes touches to the views under them and
// keeps the flag that tells the backend the screen needs redrawing.
class Window : public View {
public:
    static constexpr double kWidth = 320;
    static constexpr double kHeight = 480;

    Window() : View(Rect{0, 0, kWidth, kHeight}) {}
    explicit Window(Rect frame) : View(frame) {}

    // Makes this the application's window and shows it.
    void makeKeyAndVisible();
    bool isKeyWindow() const { return key_; }

    bool needsDisplay() const { return needsDisplay_; }
    void markNeedsDisplay() { needsDisplay_ = true; }
    void clearNeedsDisplay() { needsDisplay_ = false; }

    // One finger, in window points. The view under the finger at touchDown follows the
    // touch until touchUp, in its own coordinates. A new touchDown cancels an unfinished one.
    void touchDown(Point point);
    void touchMove(Point point);
    void touchUp(Point point);
    void cancelTouch();
    bool isTouching() const { return touched_ != nullptr; }

    // The mouse wheel or a touchpad over `point` (window points), in notches: the scroll view
    // under the pointer, or the nearest one holding what is under it, that can move that way
    // takes it (ScrollView::scrollWheel). Whatever covers the screen (an alert) covers it from
    // the wheel too. False when none took it.
    bool scrollWheel(Point point, Point notches);

    // How far (points) a finger moves on a control before a scroll view beneath takes over,
    // and within which a touch is a tap rather than a drag.
    static constexpr double kScrollSlop = 10;

private:

    bool key_ = false;
    bool needsDisplay_ = true;
    std::shared_ptr<View> touched_;
    Point touchStart_;
    Point lastTouch_;
};

} // namespace platform
