#pragma once

#include "platform/graphics/Geometry.h"

namespace platform {

// The window's stand-in for a phone's vibration motor: the picture jitters a few points
// and settles. Only where the picture is shown moves; what the screen shows stays the same.
class WindowShake {
public:
    // Seconds.
    static constexpr double kDuration = 0.3;
    // Points.
    static constexpr double kAmplitude = 4;
    // Back-and-forth movements per second: fast enough to read as a buzz at 60 frames a
    // second, slow enough that it is not lost between frames.
    static constexpr double kFrequency = 15;

    // Starts (or restarts) a shake at `now` (seconds).
    void start(double now);
    bool isShaking(double now) const;
    // When the running shake ends (seconds); meaningless when none was started.
    double endTime() const { return start_ + kDuration; }
    // How far the picture is moved at `now`, in points; zero before a start and after the end.
    Point offset(double now) const;

private:
    double start_ = -1e300;
};

} // namespace platform
