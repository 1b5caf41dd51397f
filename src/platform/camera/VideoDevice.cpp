#include "platform/camera/VideoDevice.h"

#include <cairo.h>

namespace platform {

ImageRef imageFromVideoFrame(const VideoFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || !frame.data ||
        static_cast<std::int64_t>(frame.width) * frame.height > Image::kMaxPixels)
        return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 3;
    if (static_cast<std::size_t>(frame.bytesPerLine) < rowBytes ||
        frame.size < static_cast<std::size_t>(frame.bytesPerLine) * (frame.height - 1) + rowBytes)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame.width, frame.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* out = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int red = frame.blueFirst ? 2 : 0;
    const int blue = frame.blueFirst ? 0 : 2;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.data + static_cast<std::size_t>(y) * frame.bytesPerLine;
        auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < frame.width; ++x, in += 3)
            row[x] = 0xFF000000u | std::uint32_t{in[red]} << 16 | std::uint32_t{in[1]} << 8 |
                     std::uint32_t{in[blue]};
    }
    cairo_surface_mark_dirty(surface);
    return Image::fromSurface(surface);
}

} // namespace platform
