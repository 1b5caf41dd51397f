#pragma once

#include <string>

namespace platform {

// The hardware model text the camera sizes its pictures by.
class HardwareModel {
public:
    // $MORVANE_MODEL when it is set, even to nothing (so a run can pose as any model, or as a
    // machine whose query failed); else the kernel's machine name; empty if that query fails.
    static std::string current();
};

} // namespace platform
