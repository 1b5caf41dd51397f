#include "platform/backend/WindowShake.h"

#include <cmath>
#include <numbers>

namespace platform {

void WindowShake::start(double now) {
    if (std::isfinite(now))
        start_ = now;
}

bool WindowShake::isShaking(double now) const {
    return now >= start_ && now < start_ + kDuration;
}

Point WindowShake::offset(double now) const {
    if (!isShaking(now))
        return Point{};
    const double t = now - start_;
    // Dies away to nothing, so the last frame of the shake puts the picture back in place.
    const double envelope = 1 - t / kDuration;
    const double phase = 2 * std::numbers::pi * kFrequency * t;
    // A little vertical wobble out of step with the horizontal one reads as a device buzzing
    // rather than a picture sliding.
    return Point{kAmplitude * envelope * std::sin(phase),
                 0.5 * kAmplitude * envelope * std::sin(1.7 * phase + 1)};
}

} // namespace platform
