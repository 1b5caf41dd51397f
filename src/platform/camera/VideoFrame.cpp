#include "platform/camera/VideoFrame.h"

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
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* out = cairo_image_surface_get_data(surface);
    const int outStride = cairo_image_surface_get_stride(surface);
    // The words are Cairo's own layout; only the unused byte has to become an opaque alpha,
    // which keeps the premultiplied pixels valid.
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.data + static_cast<std::size_t>(y) * frame.stride;
        auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * outStride);
        for (int x = 0; x < frame.width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, in + static_cast<std::size_t>(x) * 4, 4);
            row[x] = word | 0xFF000000u;
        }
    }
    cairo_surface_mark_dirty(surface);
    return Image::fromSurface(surface);
}

} // namespace platform
