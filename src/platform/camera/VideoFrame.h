#pragma once

#include "platform/graphics/Image.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// One captured frame as GStreamer hands it over: a native-endian 32-bit word a pixel holding
// 0xXXRRGGBB with the top byte unused (GStreamer's BGRx on a little-endian machine, xRGB on a
// big-endian one), rows `stride` bytes apart. The bytes belong to the pipeline and are
// valid only while the call that delivers them lasts.
struct VideoFrame {
    int width = 0;
    int height = 0;
    int stride = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// An opaque picture of the frame, or nullptr when the sizes do not fit the bytes.
ImageRef imageFromVideoFrame(const VideoFrame& frame);

} // namespace platform
