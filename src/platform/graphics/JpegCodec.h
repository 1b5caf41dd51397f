#pragma once

#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// JPEG through libjpeg-turbo's TurboJPEG API, straight to and from Cairo's ARGB32 layout.
class JpegCodec {
public:
    static bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);

    // The stored pixels, opaque; null for anything unreadable, truncated or larger than
    // maxPixels (checked from the header before any pixel memory is allocated).
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels);

    // Encodes premultiplied ARGB32 rows. JPEG has no alpha, so a partly transparent pixel is
    // written as it would look over black. quality is 0..1; 1 selects libjpeg quality 100 with
    // full-resolution chroma, anything lower 4:2:0. Empty on failure.
    static std::vector<std::uint8_t> encode(const std::uint8_t* argb, int width, int height,
                                            int stride, double quality);
};

} // namespace platform
