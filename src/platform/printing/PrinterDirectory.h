#pragma once

#include <string>
#include <vector>

namespace platform {

// The printers CUPS knows: its queues and the IPP Everywhere printers it has found on the
// network, each by the name the camera takes for it.
class PrinterDirectory {
public:
    struct Entry {
        std::string name;
        std::string description;
        bool isDefault = false;
    };
    // Empty, with the reason in `error`, when CUPS cannot be asked.
    static std::vector<Entry> list(std::string& error);
};

} // namespace platform
