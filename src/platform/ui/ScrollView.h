#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace platform {

// A view that shows part of a larger content and lets a finger move it. The content offset
// is the bounds origin: the content point shown at the view's top left. Scroll views clip to
// their bounds. A drag follows the finger, with a rubber band (half the finger's travel) past
// either end. On release with paging, the content settles on a multiple of the view's size:
// the next page when the drag went past half a page or ended in a flick, never more than one
// page from where the drag began. Without paging it glides on and springs back inside.
class ScrollView : public View {
public:
    // Settling on a page, seconds.
    static constexpr double kPageSettleDuration = 0.3;
    // Finger speed (points per second) from which a release counts as a flick.
    static constexpr double kFlickVelocity = 250;

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
        Point finger;
    };

    bool scrollsHorizontally() const;
    bool scrollsVertically() const;
    Point fingerInFrame(Point point) const;
    void follow(Point point);
    void release(Point velocity);
    Point pageTarget(Point velocity) const;
    Point releaseVelocity() const;
    void startMotion(std::vector<Segment> segments);
    // Moves the content to where the motion puts it at `now`; false once it has ended.
    bool stepMotion(double now);
    void stopMotion();
    void setOffset(Point offset);
    void scrollEnded();

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
};

} // namespace platform
