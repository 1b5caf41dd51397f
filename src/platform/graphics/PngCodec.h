#pragma once

#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// PNG through Cairo's reader (libpng), always delivered as premultiplied ARGB32.
class PngCodec {
public:
    static bool looksLikePng(const std::uint8_t* data, std::size_t size);

    // Null for anything unreadable or truncated, and for pictures larger than maxPixels, which
    // are refused from the header's dimensions before the reader allocates anything.
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels);
};

} // namespace platform
