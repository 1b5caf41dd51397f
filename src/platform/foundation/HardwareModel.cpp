#include "platform/foundation/HardwareModel.h"

#include <cstdlib>
#include <sys/utsname.h>

namespace platform {

std::string HardwareModel::current() {
    if (const char* chosen = std::getenv("MORVANE_MODEL")) {
        return chosen;
    }
    utsname names{};
    if (::uname(&names) != 0) {
        return {};
    }
    return names.machine;
}

} // namespace platform
