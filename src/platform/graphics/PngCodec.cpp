#include "platform/graphics/PngCodec.h"

#include <cstring>

namespace platform {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

cairo_status_t readFromMemory(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<MemoryReader*>(closure);
    if (length > reader->size - reader->pos)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->pos, length);
    reader->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

} // namespace

bool PngCodec::looksLikePng(const std::uint8_t* data, std::size_t size) {
    return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

SurfaceHandle PngCodec::decode(const std::uint8_t* data, std::size_t size, std::int64_t maxPixels) {
    // The first chunk must be IHDR; its dimensions decide before libpng allocates rows.
    if (!looksLikePng(data, size) || size < 33 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return nullptr;
    const std::uint32_t width = bigEndian32(data + 16);
    const std::uint32_t height = bigEndian32(data + 20);
    if (width == 0 || height == 0 || width > 0x7fffffffu || height > 0x7fffffffu ||
        static_cast<std::int64_t>(width) * height > maxPixels)
        return nullptr;

    MemoryReader reader{data, size, 0};
    SurfaceHandle read(cairo_image_surface_create_from_png_stream(readFromMemory, &reader));
    if (cairo_surface_status(read.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    if (cairo_image_surface_get_format(read.get()) == CAIRO_FORMAT_ARGB32)
        return read;

    // Opaque PNGs arrive as RGB24, whose spare byte is undefined: paint them into ARGB32 so
    // every picture has one layout with a real alpha.
    SurfaceHandle argb = makeArgbSurface(cairo_image_surface_get_width(read.get()),
                                         cairo_image_surface_get_height(read.get()));
    if (!argb)
        return nullptr;
    cairo_t* cr = cairo_create(argb.get());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, read.get(), 0, 0);
    cairo_paint(cr);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (!ok)
        return nullptr;
    cairo_surface_flush(argb.get());
    return argb;
}

} // namespace platform
