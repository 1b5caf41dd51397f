#include "platform/ui/ScrollView.h"

#include "platform/ui/RunLoop.h"
#include "platform/ui/TimingCurve.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Past either end the content moves by this share of the finger's travel.
constexpr double kRubberBand = 0.5;
// Only the finger's last moments count for its release speed (seconds).
constexpr double kVelocityWindow = 0.1;
// A glide slows as e^(−t/τ): τ in seconds (the platform's normal deceleration).
constexpr double kGlideTau = 0.5;
// Below this speed (points per second) nothing glides.
constexpr double kMinimumGlide = 20;
constexpr double kBounceBackDuration = 0.4;

double rubberBand(double offset, double maximum, bool bounces) {
    if (offset < 0)
        return bounces ? offset * kRubberBand : 0;
    if (offset > maximum)
        return bounces ? maximum + (offset - maximum) * kRubberBand : maximum;
    return offset;
}

double glide(double fraction, double duration) {
    const double total = 1 - std::exp(-duration / kGlideTau);
    return total > 0 ? (1 - std::exp(-fraction * duration / kGlideTau)) / total : 1;
}

} // namespace

ScrollView::ScrollView(Rect frame) : View(frame) {
    setClipsToBounds(true);
}

void ScrollView::setContentSize(Size size) {
    contentSize_ = {std::isfinite(size.width) ? std::max(0.0, size.width) : 0.0,
                    std::isfinite(size.height) ? std::max(0.0, size.height) : 0.0};
}

void ScrollView::setContentOffset(Point offset) {
    stopMotion();
    setOffset(offset);
    if (!dragging_)
        scrollEnded();
}

void ScrollView::scrollEnded() {
    if (onScrollEnded_)
        onScrollEnded_();
}

void ScrollView::setOffset(Point offset) {
    const Rect b = bounds();
    if (!(b.origin == offset))
        setBounds({offset, b.size});
}

Point ScrollView::maximumContentOffset() const {
    const Size size = bounds().size;
    return {std::max(0.0, contentSize_.width - size.width),
            std::max(0.0, contentSize_.height - size.height)};
}

bool ScrollView::scrollsHorizontally() const {
    return contentSize_.width > bounds().width();
}

bool ScrollView::scrollsVertically() const {
    return contentSize_.height > bounds().height();
}

Point ScrollView::fingerInFrame(Point point) const {
    // Touches arrive in content coordinates, which move with the content; take the offset
    // out so the finger's track is steady.
    const Point offset = contentOffset();
    return {point.x - offset.x, point.y - offset.y};
}

void ScrollView::touchesBegan(Point point) {
    if (!scrollEnabled_)
        return;
    // A finger on moving content stops it where it is drawn now.
    stepMotion(RunLoop::main().now());
    stopMotion();
    dragging_ = true;
    dragStartOffset_ = contentOffset();
    dragStartFinger_ = fingerInFrame(point);
    samples_.assign(1, {RunLoop::main().now(), dragStartFinger_});
    touchMoved_ = false;
}

void ScrollView::touchesMoved(Point point) {
    if (!dragging_)
        return;
    noticeMove(fingerInFrame(point));
    follow(point);
}

void ScrollView::noticeMove(Point finger) {
    if (std::hypot(finger.x - dragStartFinger_.x, finger.y - dragStartFinger_.y) >
        Window::kScrollSlop)
        touchMoved_ = true;
}

void ScrollView::touchesEnded(Point point) {
    if (!dragging_)
        return;
    const Point finger = fingerInFrame(point);
    noticeMove(finger);
    follow(point);
    dragging_ = false;
    release(releaseVelocity());
    if (motion_.empty())
        scrollEnded();
    if (!touchMoved_)
        noticeTap(finger);
}

void ScrollView::noticeTap(Point finger) {
    const double now = RunLoop::main().now();
    const bool again =
        tapCount_ > 0 && now - lastTapTime_ <= kDoubleTapSeconds &&
        std::hypot(finger.x - lastTapFinger_.x, finger.y - lastTapFinger_.y) <= Window::kScrollSlop;
    tapCount_ = again ? tapCount_ + 1 : 1;
    lastTapTime_ = now;
    lastTapFinger_ = finger;
    if (onTap_) {
        const Point offset = contentOffset();
        onTap_({finger.x + offset.x, finger.y + offset.y}, tapCount_);
    }
}

void ScrollView::touchesCancelled(Point) {
    if (!dragging_)
        return;
    dragging_ = false;
    release({0, 0});
    if (motion_.empty())
        scrollEnded();
}

void ScrollView::follow(Point point) {
    const Point finger = fingerInFrame(point);
    samples_.push_back({RunLoop::main().now(), finger});
    const Point maximum = maximumContentOffset();
    Point offset = dragStartOffset_;
    if (scrollsHorizontally())
        offset.x =
            rubberBand(dragStartOffset_.x - (finger.x - dragStartFinger_.x), maximum.x, bounces_);
    if (scrollsVertically())
        offset.y =
            rubberBand(dragStartOffset_.y - (finger.y - dragStartFinger_.y), maximum.y, bounces_);
    setOffset(offset);
}

Point ScrollView::trackVelocity(const std::vector<Sample>& samples) {
    if (samples.size() < 2)
        return {0, 0};
    const Sample& last = samples.back();
    // The oldest sample inside the window; a track that rested longer has no speed.
    const Sample* first = &last;
    for (auto it = samples.rbegin() + 1; it != samples.rend(); ++it) {
        if (last.time - it->time > kVelocityWindow)
            break;
        first = &*it;
    }
    const double dt = last.time - first->time;
    if (dt <= 1e-6)
        return {0, 0};
    return {(last.position.x - first->position.x) / dt, (last.position.y - first->position.y) / dt};
}

Point ScrollView::releaseVelocity() const {
    // The content moves against the finger.
    const Point finger = trackVelocity(samples_);
    return {scrollsHorizontally() ? -finger.x : 0, scrollsVertically() ? -finger.y : 0};
}

Point ScrollView::pageTarget(Point velocity, Point start) const {
    const Point current = contentOffset();
    const Point maximum = maximumContentOffset();
    const Size page = bounds().size;
    auto axis = [](double offset, double start, double v, double pageSize, double maximum) {
        if (pageSize <= 0)
            return std::clamp(offset, 0.0, maximum);
        const double startPage = std::round(start / pageSize);
        const double position = offset / pageSize;
        double target;
        if (std::abs(v) >= kFlickVelocity)
            target = v > 0 ? std::floor(position) + 1 : std::ceil(position) - 1;
        else
            target = std::round(position);
        target = std::clamp(target, startPage - 1, startPage + 1);
        return std::clamp(target * pageSize, 0.0, maximum);
    };
    Point target = current;
    if (scrollsHorizontally())
        target.x = axis(current.x, start.x, velocity.x, page.width, maximum.x);
    if (scrollsVertically())
        target.y = axis(current.y, start.y, velocity.y, page.height, maximum.y);
    return target;
}

void ScrollView::release(Point velocity) {
    const double now = RunLoop::main().now();
    const Point current = contentOffset();
    const Point maximum = maximumContentOffset();
    const Point inside{std::clamp(current.x, 0.0, maximum.x),
                       std::clamp(current.y, 0.0, maximum.y)};

    if (pagingEnabled_) {
        const Point target = pageTarget(velocity, dragStartOffset_);
        if (!(target == current))
            startMotion({{current, target, now, kPageSettleDuration, Curve::EaseOut}});
        return;
    }
    if (!(inside == current)) {
        startMotion({{current, inside, now, kBounceBackDuration, Curve::EaseOut}});
        return;
    }
    const double speed = std::hypot(velocity.x, velocity.y);
    if (speed < kMinimumGlide)
        return;
    // Where a free glide would come to rest, and how long it takes to slow to a crawl.
    const Point rest{current.x + velocity.x * kGlideTau, current.y + velocity.y * kGlideTau};
    const double duration = std::clamp(kGlideTau * std::log(speed / 10), 0.2, 3.0);
    const Point end{std::clamp(rest.x, 0.0, maximum.x), std::clamp(rest.y, 0.0, maximum.y)};
    if (end == rest || !bounces_) {
        startMotion({{current, end, now, duration, Curve::Glide}});
        return;
    }
    // Running into an end: go a little past it, then spring back.
    const Point past{end.x + (rest.x - end.x) * 0.15, end.y + (rest.y - end.y) * 0.15};
    const double toEdge = std::clamp(duration * 0.5, 0.15, 0.6);
    startMotion({{current, past, now, toEdge, Curve::EaseOut},
                 {past, end, now + toEdge, kBounceBackDuration, Curve::EaseInEaseOut}});
}

void ScrollView::startMotion(std::vector<Segment> segments) {
    motion_ = std::move(segments);
    if (motion_.empty())
        return;
    RunLoop& loop = RunLoop::main();
    loop.animator().noteAnimation(motion_.back().start + motion_.back().duration);
    if (frameHandlerActive_)
        return;
    auto owner = weak_from_this().lock();
    if (!owner) {
        // Not held by a shared_ptr: nothing can step it later, so it arrives at once.
        setOffset(motion_.back().to);
        motion_.clear();
        scrollEnded();
        return;
    }
    std::weak_ptr<ScrollView> weak = std::static_pointer_cast<ScrollView>(owner);
    frameHandlerActive_ = true;
    loop.addFrameHandler([weak](double now) {
        auto self = weak.lock();
        if (!self)
            return false;
        const bool more = self->stepMotion(now);
        if (!more) {
            self->frameHandlerActive_ = false;
            // A finger that caught the content stopped it; it rests only when let go.
            if (!self->dragging_)
                self->scrollEnded();
        }
        return more;
    });
}

bool ScrollView::stepMotion(double now) {
    while (!motion_.empty()) {
        const Segment& segment = motion_.front();
        const double elapsed = segment.duration > 0 ? (now - segment.start) / segment.duration : 1;
        if (elapsed >= 1) {
            setOffset(segment.to);
            motion_.erase(motion_.begin());
            continue;
        }
        if (elapsed <= 0)
            return true;
        double f = elapsed;
        switch (segment.curve) {
        case Curve::EaseOut:
            f = TimingCurve::easeOut(elapsed);
            break;
        case Curve::EaseInEaseOut:
            f = TimingCurve::easeInEaseOut(elapsed);
            break;
        case Curve::Glide:
            f = glide(elapsed, segment.duration);
            break;
        }
        setOffset(interpolate(segment.from, segment.to, f));
        return true;
    }
    return false;
}

void ScrollView::stopMotion() {
    motion_.clear();
    cancelStroke();
}

} // namespace platform
