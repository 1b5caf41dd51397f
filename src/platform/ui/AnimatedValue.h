#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/TimingCurve.h"

#include <limits>
#include <optional>

namespace platform {

inline double interpolate(double from, double to, double f) {
    return from + (to - from) * f;
}
inline Point interpolate(Point from, Point to, double f) {
    return {interpolate(from.x, to.x, f), interpolate(from.y, to.y, f)};
}
inline Size interpolate(Size from, Size to, double f) {
    return {interpolate(from.width, to.width, f), interpolate(from.height, to.height, f)};
}
inline Rect interpolate(const Rect& from, const Rect& to, double f) {
    return {interpolate(from.origin, to.origin, f), interpolate(from.size, to.size, f)};
}
// Component by component: exact for the translations and scales views are moved with.
inline AffineTransform interpolate(const AffineTransform& from, const AffineTransform& to,
                                   double f) {
    return {interpolate(from.a, to.a, f),   interpolate(from.b, to.b, f),
            interpolate(from.c, to.c, f),   interpolate(from.d, to.d, f),
            interpolate(from.tx, to.tx, f), interpolate(from.ty, to.ty, f)};
}

// One animatable property of a view: the model value, which holds at once, and the drawn
// (presentation) value, which may be travelling towards it with the ease-in-ease-out curve.
template <typename T>
class AnimatedValue {
public:
    explicit AnimatedValue(T value) : model_(value) {}

    const T& model() const { return model_; }

    // A change outside an animation block: drawn at once, any motion dropped.
    void set(const T& value) {
        model_ = value;
        motion_.reset();
        pendingFrom_.reset();
    }

    // A change inside an animation block: the model changes now; the motion starts at the
    // block's commit from where the value was drawn before the block's first change to it.
    void setInBlock(const T& value, double now) {
        if (!pendingFrom_)
            pendingFrom_ = presentation(now);
        model_ = value;
    }

    // Called at the block's commit. Returns true when something now moves.
    bool startPending(double start, double duration) {
        if (!pendingFrom_)
            return false;
        const T from = *pendingFrom_;
        pendingFrom_.reset();
        if (!(duration > 0)) {
            motion_.reset();
            return false;
        }
        motion_ = Motion{from, model_, start, duration};
        return true;
    }

    T presentation(double now) const {
        if (pendingFrom_)
            return *pendingFrom_;
        if (!motion_)
            return model_;
        const double elapsed = (now - motion_->start) / motion_->duration;
        if (elapsed >= 1)
            return motion_->to;
        if (elapsed <= 0)
            return motion_->from;
        return interpolate(motion_->from, motion_->to, TimingCurve::easeInEaseOut(elapsed));
    }

    bool isMoving(double now) const { return motion_ && now < motion_->start + motion_->duration; }
    // When the drawn value reaches the model, in seconds; minus infinity when it has already.
    double motionEnd() const {
        return motion_ ? motion_->start + motion_->duration
                       : -std::numeric_limits<double>::infinity();
    }

private:
    struct Motion {
        T from;
        T to;
        double start;
        double duration;
    };
    T model_;
    std::optional<Motion> motion_;
    std::optional<T> pendingFrom_;
};

} // namespace platform
