#pragma once

#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>

namespace platform {

// Pixel memory for large surfaces, recycled. A print makes and drops several frames of up to
// 9 MB each; fresh memory for each costs the kernel thousands of page faults and zeroed pages
// (more than the drawing itself), so the memory of a dropped surface waits here for the next
// surface of the same size. A few frames' worth are kept at most; under AddressSanitizer
// nothing is kept, so that use after release is still caught.
class SurfacePool {
public:
    // A width × height ARGB32 surface, or null. Transparent when cleared; otherwise its pixels
    // are left as they are, for callers that write every one of them.
    static SurfaceHandle make(int width, int height, bool cleared);

    // Bytes of released memory the pool holds now.
    static std::size_t idleBytes();
};

} // namespace platform
