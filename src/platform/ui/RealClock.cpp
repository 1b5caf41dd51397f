#include "platform/ui/RealClock.h"

namespace platform {

RealClock::RealClock() : origin_(std::chrono::steady_clock::now()) {}

double RealClock::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

} // namespace platform
