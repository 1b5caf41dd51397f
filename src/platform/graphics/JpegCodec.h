#pragma once

#include "platform/graphics/DecodeRequest.h"
#include "platform/graphics/SurfaceHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// JPEG through libjpeg-turbo's TurboJPEG API, straight to and from Cairo's ARGB32 layout.
class JpegCodec {
public:
    static bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);

    // The stored pixels, opaque, whole or reduced as the request asks (see DecodeRequest);
    // null, with the reason, for anything unreadable, cut short or too large even at 1/8
    // (decided from the header before any pixel memory is allocated). A file that lacks only
    // its end marker is read.
    static SurfaceHandle decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request);

    // The size a picture of width × height pixels is decoded at: denominator 1, 2, 4 or 8,
    // and the sides it gives; denominator 0 when even 1/8 is beyond the request's limits.
    struct Scale {
        int denominator = 0;
        int width = 0;
        int height = 0;
    };
    static Scale chooseScale(int width, int height, const DecodeRequest& request);

    // "too large: W by H pixels; ..." with the limits the request sets.
    static std::string tooLargeReason(std::int64_t width, std::int64_t height,
                                      const DecodeRequest& request);

    // Encodes premultiplied ARGB32 rows. JPEG has no alpha, so a partly transparent pixel is
    // written as it would look over black. quality is 0..1; 1 selects libjpeg quality 100 with
    // full-resolution chroma, anything lower 4:2:0. Empty on failure.
    static std::vector<std::uint8_t> encode(const std::uint8_t* argb, int width, int height,
                                            int stride, double quality);
};

} // namespace platform
