#pragma once

#include "platform/ui/Clock.h"

namespace platform {

// A clock that only moves when told to. The run loop moves it straight to the next due
// event, so a long wait costs no real time.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(double start = 0.0) : now_(start) {}
    double now() const override { return now_; }
    // Moves the time forward to `seconds`; an earlier or non-finite time is ignored so that
    // time never runs backwards.
    void advanceTo(double seconds);
    void advanceBy(double seconds) { advanceTo(now_ + seconds); }

private:
    double now_;
};

} // namespace platform
