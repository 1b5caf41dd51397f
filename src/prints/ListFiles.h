#pragma once

#include "platform/foundation/PropertyList.h"

#include <optional>
#include <vector>

// The two list files as this run last found or left them, so that a list is written as soon as
// what it holds changes (an abnormal end then loses nothing) and a run that changes nothing
// writes nothing (a first launch leaves the shipped bytes as they are).
class ListFiles {
public:
    using List = std::vector<platform::PropertyList>;

    // What launch read from the two files.
    void found(const List& config, const List& prints);
    // The print list file holds more than what was read from it (entries that name no print,
    // left out): the next save writes the list whatever it holds.
    void printListFileDiffers() { prints_.reset(); }
    // Writes each list whose content differs from its file, atomically, the configuration
    // list first. A write that fails is tried again at the next call.
    void save(const List& config, const List& prints);

private:
    std::optional<List> config_;
    std::optional<List> prints_;
};
