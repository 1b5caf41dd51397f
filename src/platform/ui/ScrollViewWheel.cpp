#include "platform/ui/RunLoop.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Timer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

bool wholeNotches(Point notches) {
    return notches.x == std::round(notches.x) && notches.y == std::round(notches.y);
}

int sign(double value) {
    return (value > 0) - (value < 0);
}

} // namespace

void ScrollView::setRowHeight(double height) {
    rowHeight_ = std::isfinite(height) && height > 0 ? height : 0;
}

Point ScrollView::clampedOffset(Point offset) const {
    const Point maximum = maximumContentOffset();
    return {std::clamp(offset.x, 0.0, maximum.x), std::clamp(offset.y, 0.0, maximum.y)};
}

Point ScrollView::wheelAxes(Point notches) const {
    const bool across = scrollsHorizontally();
    const bool down = scrollsVertically();
    // Sideways only, the larger of the two turns it; a vertical view leaves a sideways wheel
    // alone, as what it shows does not lie sideways.
    if (across && !down)
        return {std::abs(notches.x) >= std::abs(notches.y) ? notches.x : notches.y, 0};
    return {across ? notches.x : 0, down ? notches.y : 0};
}

bool ScrollView::scrollWheel(Point notches) {
    if (!scrollEnabled_ || dragging_ || !std::isfinite(notches.x) || !std::isfinite(notches.y))
        return false;
    const Point axes = wheelAxes(notches);
    if (axes.x == 0 && axes.y == 0)
        return false;
    if (stroking_ || !wholeNotches(notches)) {
        followStroke(axes);
    } else if (pagingEnabled_) {
        turnPageByNotch(axes);
    } else {
        // A notch stops a glide where it is drawn now and goes on from there.
        stepMotion(RunLoop::main().now());
        stopMotion();
        const Point before = contentOffset();
        setOffset(clampedOffset({before.x + axes.x * kWheelStep, before.y + axes.y * kWheelStep}));
        if (!(contentOffset() == before))
            scrollEnded();
    }
    return true;
}

void ScrollView::turnPageByNotch(Point axes) {
    // Where a turn under way is heading: a notch never turns the content back short of it.
    const Point heading = motion_.empty() ? contentOffset() : motion_.back().to;
    stepMotion(RunLoop::main().now());
    const Point current = contentOffset();
    const Point maximum = maximumContentOffset();
    const Size page = bounds().size;
    auto axis = [](double offset, double heading, int direction, double pageSize, double maximum) {
        if (direction == 0 || pageSize <= 0)
            return heading;
        double target;
        if ((heading - offset) * direction < 0) {
            // Turned back: a page back from the page the turn was heading for.
            target = (std::round(heading / pageSize) + direction) * pageSize;
        } else {
            const double next = (std::round(offset / pageSize) + direction) * pageSize;
            target = direction > 0 ? std::max(next, heading) : std::min(next, heading);
        }
        return std::clamp(target, 0.0, maximum);
    };
    settleAt({axis(current.x, heading.x, sign(axes.x), page.width, maximum.x),
              axis(current.y, heading.y, sign(axes.y), page.height, maximum.y)});
}

void ScrollView::followStroke(Point axes) {
    const double now = RunLoop::main().now();
    if (!stroking_) {
        stepMotion(now);
        stopMotion();
        stroking_ = true;
        strokeStartOffset_ = clampedOffset(contentOffset());
        strokeSamples_.assign(1, {now, strokeStartOffset_});
    }
    const Point before = contentOffset();
    const Point offset =
        clampedOffset({before.x + axes.x * kWheelStep, before.y + axes.y * kWheelStep});
    setOffset(offset);
    strokeSamples_.push_back({now, offset});
    if (strokeTimer_)
        strokeTimer_->invalidate();
    auto owner = weak_from_this().lock();
    if (!owner) {
        // Nothing could end the stroke later: each part of it is a stroke of its own.
        finishStroke();
        return;
    }
    strokeTimer_ = RunLoop::main().schedule(
        kStrokeEnd,
        [weak = std::weak_ptr<ScrollView>(std::static_pointer_cast<ScrollView>(owner))] {
            if (auto self = weak.lock())
                self->finishStroke();
        });
}

void ScrollView::finishStroke() {
    if (!stroking_)
        return;
    const Point track = trackVelocity(strokeSamples_);
    const Point velocity{scrollsHorizontally() ? track.x : 0, scrollsVertically() ? track.y : 0};
    const Point start = strokeStartOffset_;
    cancelStroke();
    if (pagingEnabled_ && settleAt(pageTarget(velocity, start)))
        return;
    scrollEnded();
}

void ScrollView::cancelStroke() {
    if (strokeTimer_)
        strokeTimer_->invalidate();
    strokeTimer_.reset();
    stroking_ = false;
    strokeSamples_.clear();
}

bool ScrollView::settleAt(Point target) {
    const Point current = contentOffset();
    if (target == current) {
        // A turn that was under way ends here; its frame handler says it came to rest.
        motion_.clear();
        return false;
    }
    startMotion({{current, target, RunLoop::main().now(), kPageSettleDuration, Curve::EaseOut}});
    return true;
}

bool ScrollView::scrollPage(int direction) {
    direction = sign(direction);
    const bool down = scrollsVertically();
    if (!scrollEnabled_ || dragging_ || direction == 0 || (!down && !scrollsHorizontally()))
        return false;
    const Point heading = motion_.empty() ? contentOffset() : motion_.back().to;
    stepMotion(RunLoop::main().now());
    cancelStroke();
    const double shown = down ? bounds().height() : bounds().width();
    const double from = down ? heading.y : heading.x;
    // Pages pressed in a row add up: each goes on from where the last one is heading.
    double target = from + direction * shown;
    const double unit = pagingEnabled_ ? shown : rowHeight_;
    if (unit > 0) {
        const double rows = std::max(1.0, std::floor(shown / unit + 1e-9));
        const double top =
            direction > 0 ? std::floor(from / unit + 1e-9) : std::ceil(from / unit - 1e-9);
        target = (top + direction * rows) * unit;
    }
    const Point maximum = maximumContentOffset();
    target = std::clamp(target, 0.0, down ? maximum.y : maximum.x);
    if (target == from)
        return false;
    settleAt(down ? Point{contentOffset().x, target} : Point{target, contentOffset().y});
    return true;
}

bool ScrollView::scrollToEdge(int direction) {
    direction = sign(direction);
    const bool down = scrollsVertically();
    if (!scrollEnabled_ || dragging_ || direction == 0 || (!down && !scrollsHorizontally()))
        return false;
    const Point heading = motion_.empty() ? contentOffset() : motion_.back().to;
    stepMotion(RunLoop::main().now());
    cancelStroke();
    const Point maximum = maximumContentOffset();
    const double target = direction > 0 ? (down ? maximum.y : maximum.x) : 0;
    if (target == (down ? heading.y : heading.x))
        return false;
    settleAt(down ? Point{contentOffset().x, target} : Point{target, contentOffset().y});
    return true;
}

} // namespace platform
