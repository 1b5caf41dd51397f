#pragma once

namespace platform {

// Where the run loop reads the time. The core never asks the system for the time itself, so
// a virtual clock can stand in and make headless runs and tests exact and repeatable.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since an arbitrary origin; never decreases.
    virtual double now() const = 0;
};

} // namespace platform
