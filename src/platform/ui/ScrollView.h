#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {

class Timer;

// A view that shows part of a larger content and lets a finger move it. The content offset
// is the bounds origin: the content point shown at the view's top left. Scroll views clip to
// their bounds. A drag follows the finger, with a rubber band (half the finger's travel) past
// either end. On release with paging, the content settles on a multiple of the view's size:
// the next page when the drag went past half a page or ended in a flick, never more than one
// page from where the drag began. Without paging it glides on and springs back inside.
//
// On a desktop the mouse wheel, a touchpad and the page keys move it too, never past its ends.
class ScrollView : public View {
public:
    // Settling on a page, seconds.
    static constexpr double kPageSettleDuration = 0.3;
    // Finger speed (points per second) from which a release counts as a flick.
    static constexpr double kFlickVelocity = 250;
    // Points one wheel notch moves a view that does not page.
    static constexpr double kWheelStep = 60;
    // A touchpad stroke has ended once no motion came for this long (seconds): touchpads do
    // not say when the fingers are lifted.
    static constexpr double kStrokeEnd = 0.15;

    explicit ScrollView(Rect frame = {});

    // Size in points of what can be scrolled over; the default, zero, scrolls nothing.
    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size);
    // The current offset in points, updated as the content moves; while the content bounces
    // it lies outside the content (e.g. x = −40 past the start).
    Point contentOffset() const { return bounds().origin; }
    // Moves the content at once, stopping any motion. Not clamped.
    void setContentOffset(Point offset);

    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    // Kept for the interface; no indicator bars are drawn.
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }
    // Kept for the interface: there is no status bar to tap.
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool scrolls) { scrollsToTop_ = scrolls; }

    bool isDragging() const { return dragging_; }
    // Settling or gliding after a release.
    bool isDecelerating() const { return !motion_.empty(); }
    // The largest offset inside the content (never negative).
    Point maximumContentOffset() const;

    // Called each time the content comes to rest: a drag released where it stays, the end of
    // a settle or glide, or an offset set by the program while no finger holds the content.
    void setOnScrollEnded(std::function<void()> handler) { onScrollEnded_ = std::move(handler); }
    // A touch that ends near where it began is a tap, not a drag: `handler` hears of it with
    // the point in the content and how many taps in a row it makes (2 for a double click:
    // within kDoubleTapSeconds of the last one and near it).
    static constexpr double kDoubleTapSeconds = 0.4;
    void setOnTap(std::function<void(Point, int)> handler) { onTap_ = std::move(handler); }

    // The mouse wheel or a touchpad, in wheel notches: positive shows more of what lies
    // right and below. Whole notches are a wheel's; a touchpad's stroke comes in parts of
    // one, and so does all that arrives while a stroke goes on. A notch moves kWheelStep
    // points, or with paging turns to the page after the one nearest now (notches faster
    // than the pages turn add up to fewer pages, so a burst moves as a swipe does; one the
    // other way goes back a page from where the turn was heading). A stroke
    // follows the fingers and, with paging, settles as a released drag does: the next page
    // past half a page or after a quick stroke, never more than one page from its start. A
    // view that scrolls sideways only takes the vertical wheel as its own, as a mouse without
    // a sideways wheel has no other. False when the view cannot move that way (or a finger
    // holds it).
    bool scrollWheel(Point notches);
    // Page Up and Page Down (direction −1 or 1): as many whole rows (rowHeight) as the view
    // shows, onto the top of a row; a page with paging; else the height shown. Vertically
    // when the view scrolls so, else sideways. False when there is nowhere to go.
    bool scrollPage(int direction);
    // Home and End (direction −1 or 1): to the start or to the end of the content.
    bool scrollToEdge(int direction);
    // The content's rows, for paging by key; 0 (the default) when it has none.
    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);

    void touchesBegan(Point point) override;
    void touchesMoved(Point point) override;
    void touchesEnded(Point point) override;
    void touchesCancelled(Point point) override;

private:
    enum class Curve { EaseOut, EaseInEaseOut, Glide };
    struct Segment {
        Point from;
        Point to;
        double start;
        double duration;
        Curve curve;
    };
    struct Sample {
        double time;
        // The finger in a drag; the content offset in a touchpad stroke.
        Point position;
    };

    bool scrollsHorizontally() const;
    bool scrollsVertically() const;
    Point fingerInFrame(Point point) const;
    void follow(Point point);
    void release(Point velocity);
    // Where paging settles after a move that began at `start` and ends with `velocity`.
    Point pageTarget(Point velocity, Point start) const;
    Point releaseVelocity() const;
    // Points per second over the last moments of a track of samples.
    static Point trackVelocity(const std::vector<Sample>& samples);
    // The wheel's notches on the axes this view moves along.
    Point wheelAxes(Point notches) const;
    void turnPageByNotch(Point axes);
    void followStroke(Point axes);
    // The stroke's end: with paging the content settles, else it rests where it is.
    void finishStroke();
    // Forgets a stroke without settling (a finger or the program took the content).
    void cancelStroke();
    // Moves to `target` as a page settles, resting when it arrives; false when already there.
    bool settleAt(Point target);
    Point clampedOffset(Point offset) const;
    void startMotion(std::vector<Segment> segments);
    // Moves the content to where the motion puts it at `now`; false once it has ended.
    bool stepMotion(double now);
    void stopMotion();
    void setOffset(Point offset);
    void scrollEnded();
    // Once the finger (in the frame) leaves the slop around where it came down, the touch is
    // a drag and no tap.
    void noticeMove(Point finger);
    // A touch released at `finger` (in the frame) was a tap when it never left the slop.
    void noticeTap(Point finger);

    Size contentSize_;
    bool pagingEnabled_ = false;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    bool scrollsToTop_ = true;

    bool dragging_ = false;
    Point dragStartOffset_;
    Point dragStartFinger_;
    std::vector<Sample> samples_;
    std::vector<Segment> motion_;
    bool frameHandlerActive_ = false;
    std::function<void()> onScrollEnded_;
    std::function<void(Point, int)> onTap_;
    // The last tap: when, where in the frame, and its count.
    double lastTapTime_ = -1;
    Point lastTapFinger_;
    int tapCount_ = 0;
    // The touch has moved beyond the slop since it began.
    bool touchMoved_ = false;

    double rowHeight_ = 0;
    // A touchpad stroke under way: where it began, the content's track, the timer that ends it.
    bool stroking_ = false;
    Point strokeStartOffset_;
    std::vector<Sample> strokeSamples_;
    std::shared_ptr<Timer> strokeTimer_;
};

} // namespace platform
