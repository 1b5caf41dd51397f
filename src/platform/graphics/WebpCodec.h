#pragma once

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// WebP through libwebp, decoded straight into Cairo's premultiplied ARGB32 layout.
class WebpCodec {
public:
    // A RIFF container of the WEBP form; 12 bytes are enough to tell.
    static bool looksLikeWebp(const std::uint8_t* data, std::size_t size);

    // The picture's size in pixels from its first chunks, without decoding it; false when
    // they cannot be read. The bytes may be the start of a file only.
    static bool readSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

    // The stored pixels, whole or reduced to the same fractions a JPEG is (see DecodeRequest),
    // libwebp's own scaler making the smaller sizes as it decodes; the first frame of an
    // animation, whole. Null, with the reason, for anything damaged, cut short or too large
    // (decided from the header before pixel memory is allocated).
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request);

    // The EXIF orientation number 1..8 its EXIF chunk holds; 1 without one.
    static int orientation(const std::uint8_t* data, std::size_t size);
    // Its EXIF chunk as it is stored; empty without one.
    static std::vector<std::uint8_t> exifBlock(const std::uint8_t* data, std::size_t size);
};

} // namespace platform
