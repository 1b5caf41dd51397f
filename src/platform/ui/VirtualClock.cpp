#include "platform/ui/VirtualClock.h"

#include <cmath>

namespace platform {

void VirtualClock::advanceTo(double seconds) {
    if (std::isfinite(seconds) && seconds > now_)
        now_ = seconds;
}

} // namespace platform
