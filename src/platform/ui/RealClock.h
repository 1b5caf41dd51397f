#pragma once

#include "platform/ui/Clock.h"

#include <chrono>

namespace platform {

// The steady clock, with its origin at construction: the window runs on it.
class RealClock : public Clock {
public:
    RealClock();
    double now() const override;

private:
    std::chrono::steady_clock::time_point origin_;
};

} // namespace platform
