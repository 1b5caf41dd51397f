#pragma once

#include <cstddef>

namespace platform {

// Memory for whole pictures and their encoded files, which a batch touches end to end print
// after print. From 2 MB up it is asked for in huge pages: the first touch then costs one
// page fault per 2 MB instead of one per 4 KB (on a virtual machine a fault costs several
// microseconds), and the passes over a print miss the TLB far less. Below that it is aligned
// to cache lines, which the vector loops like.
class LargeMemory {
public:
    // At least bytes, or null; released with std::free.
    static void* allocate(std::size_t bytes);
};

} // namespace platform
