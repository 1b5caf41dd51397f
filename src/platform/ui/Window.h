#pragma once

#include "platform/ui/DirtyRegion.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {

// The screen's root view, 320 by 480 points. It routes touches to the views under them and
// gathers what must be drawn again: the rectangles views mark as they change, and each frame
// the old and new places of views that move.
class Window : public View {
public:
    static constexpr double kWidth = 320;
    static constexpr double kHeight = 480;

    Window() : Window(Rect{0, 0, kWidth, kHeight}) {}
    explicit Window(Rect frame) : View(frame) { markNeedsDisplay(); }

    // Makes this the application's window and shows it.
    void makeKeyAndVisible();
    bool isKeyWindow() const { return key_; }

    // Something must be drawn again: a rectangle was marked, or a view is moving.
    bool needsDisplay() const { return !dirty_.isEmpty() || !motions_.empty(); }
    // The whole screen.
    void markNeedsDisplay() { invalidate(frame()); }
    // Forgets what was marked (moving views stay marked): whoever calls it has drawn
    // everything.
    void clearNeedsDisplay();
    // Marks a rectangle of the screen (points) for drawing again.
    void invalidate(const Rect& rect);
    // What must be drawn for the screen as it is at `now` (points): everything marked since
    // the last call, and where each moving view was drawn last and is now. Marks nothing
    // afterwards; a view that stopped moving is drawn once where it ended and then left be.
    DirtyRegion takeDirtyRegion(double now);
    // `view` moves until `until` (seconds): redrawn where it is at each frame until then.
    void noteMotion(const std::shared_ptr<View>& view, double until, double now);

    // Whether anyone can see the screen: false while the desktop's window is minimised or
    // hidden. Showing it again marks it all for drawing.
    bool isScreenVisible() const { return screenVisible_; }
    void setScreenVisible(bool visible);
    // Calls `action` once, the next time what the screen shows may have changed: it is shown
    // again, or something on it was marked or moved. A view that stopped updating because
    // nobody could see it waits for this.
    void whenScreenChanges(std::function<void()> action);

    // Pixels per point the screen is drawn at where it is seen: the desktop window's drawing
    // scale, or the headless screen's. 1 until the backend says otherwise. Views showing
    // pictures can then pick ones with as many pixels as they are drawn at.
    double pixelScale() const { return pixelScale_; }
    // Tells every watcher still alive when the scale really changes (a bad scale counts as 1).
    void setPixelScale(double scale);
    // Calls `action` after each change of the pixel scale for as long as `owner` lives.
    void watchPixelScale(std::weak_ptr<const void> owner, std::function<void()> action);

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
    struct Motion {
        std::weak_ptr<View> view;
        double until;
        Rect last;
    };
    void screenChanged();

    bool key_ = false;
    DirtyRegion dirty_;
    std::vector<Motion> motions_;
    bool screenVisible_ = true;
    std::vector<std::function<void()>> changeWatchers_;
    struct ScaleWatcher {
        std::weak_ptr<const void> owner;
        std::function<void()> action;
    };
    double pixelScale_ = 1;
    std::vector<ScaleWatcher> scaleWatchers_;
    std::shared_ptr<View> touched_;
    Point touchStart_;
    Point lastTouch_;
};

} // namespace platform
