#include "platform/camera/VideoFrame.h"

#include "platform/graphics/SurfaceHandle.h"
#include "platform/graphics/SurfacePool.h"

#include <cairo.h>

#include <cstring>

namespace platform {

ImageRef imageFromVideoFrame(const VideoFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || !frame.data ||
        static_cast<std::int64_t>(frame.width) * frame.height > Image::kMaxPixels)
        return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
    if (frame.stride < 0 || static_cast<std::size_t>(frame.stride) < rowBytes ||
        frame.size < static_cast<std::size_t>(frame.stride) * (frame.height - 1) + rowBytes)
        return nullptr;
    // Recycled memory, left as it was: every pixel is written below, and a fresh 4 MB surface
    // thirty times a second would be zeroed by the kernel and again by Cairo for nothing.
    SurfaceHandle made = SurfacePool::make(frame.width, frame.height, false);
    if (!made)
        return nullptr;
    cairo_surface_t* surface = made.get();
    cairo_surface_flush(surface);
    unsigned char* out = cairo_image_surface_get_data(surface);
    const int outStride = cairo_image_surface_get_stride(surface);
    // The words are Cairo's own layout; only the unused byte has to become an opaque alpha,
    // which keeps the premultiplied pixels valid. Row by row, a copy and then a pass that the
    // compiler turns into vector code.
    for (int y = 0; y < frame.height; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outStride);
        std::memcpy(row, frame.data + static_cast<std::size_t>(y) * frame.stride, rowBytes);
        for (int x = 0; x < frame.width; ++x)
            row[x] |= 0xFF000000u;
    }
    cairo_surface_mark_dirty(surface);
    return Image::fromSurface(made.release());
}

} // namespace platform
