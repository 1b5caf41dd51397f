#pragma once

#include <chrono>

namespace platform {

// Points in time are system-clock time points; these are the few questions asked of them.
class Date {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    static TimePoint now() { return std::chrono::system_clock::now(); }

    // Whole seconds since 1970-01-01 00:00:00 UTC, the fraction dropped (toward zero).
    static long long secondsSince1970(TimePoint when) {
        return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
    }
};

} // namespace platform
