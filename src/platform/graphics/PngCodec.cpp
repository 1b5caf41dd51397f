#include "platform/graphics/PngCodec.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace platform {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// The file as libpng is given it: a list of byte ranges, the chunks it may see.
struct ChunkReader {
    const std::uint8_t* data;
    std::vector<std::pair<std::size_t, std::size_t>> ranges; // offset, length
    std::size_t range = 0;
    std::size_t pos = 0; // within the current range
};

cairo_status_t readChunks(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<ChunkReader*>(closure);
    while (length > 0) {
        if (reader->range >= reader->ranges.size())
            return CAIRO_STATUS_READ_ERROR;
        const auto [offset, size] = reader->ranges[reader->range];
        const std::size_t take = std::min<std::size_t>(length, size - reader->pos);
        std::memcpy(out, reader->data + offset + reader->pos, take);
        out += take;
        length -= static_cast<unsigned int>(take);
        reader->pos += take;
        if (reader->pos == size) {
            ++reader->range;
            reader->pos = 0;
        }
    }
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

bool PngCodec::walkChunks(const std::uint8_t* data, std::size_t size,
                          std::vector<std::pair<std::size_t, std::size_t>>& kept) {
    // Every chunk must lie inside the file: a length that claims more than is left would have
    // the reader allocate it before finding out. Ancillary chunks above the cap are left out,
    // as the picture never needs them (Cairo reads no text, profile or gamma chunk).
    std::size_t pos = sizeof kSignature;
    kept.assign({{0, sizeof kSignature}});
    while (size - pos >= 12) {
        const std::uint32_t length = bigEndian32(data + pos);
        if (length > 0x7fffffffu || length > size - pos - 12)
            return false;
        const bool ancillary = (data[pos + 4] & 0x20) != 0;
        const bool end = std::memcmp(data + pos + 4, "IEND", 4) == 0;
        if (!ancillary || length <= kMaxAncillaryBytes)
            kept.emplace_back(pos, std::size_t{length} + 12);
        pos += std::size_t{length} + 12;
        if (end)
            return true;
    }
    return false;
}

SurfaceHandle PngCodec::decode(const std::uint8_t* data, std::size_t size,
                               const DecodeRequest& request) {
    // The first chunk must be IHDR; its dimensions decide before libpng allocates rows.
    if (!looksLikePng(data, size) || size < 33 || std::memcmp(data + 12, "IHDR", 4) != 0) {
        request.refuse("not a PNG picture");
        return nullptr;
    }
    const std::uint32_t width = bigEndian32(data + 16);
    const std::uint32_t height = bigEndian32(data + 20);
    if (width == 0 || height == 0 || width > 0x7fffffffu || height > 0x7fffffffu) {
        request.refuse("a damaged PNG picture (its size cannot be)");
        return nullptr;
    }
    if (std::int64_t{width} * height > request.maxPixels ||
        width > std::uint32_t(request.maxSide) || height > std::uint32_t(request.maxSide)) {
        request.refuse("too large: " + std::to_string(width) + " by " + std::to_string(height) +
                       " pixels, where a picture may have at most " +
                       std::to_string(request.maxPixels / 1'000'000) + " megapixels and " +
                       std::to_string(request.maxSide) + " pixels a side");
        return nullptr;
    }
    ChunkReader reader{data, {}, 0, 0};
    if (!walkChunks(data, size, reader.ranges)) {
        request.refuse("a damaged or cut short PNG picture");
        return nullptr;
    }
    SurfaceHandle read(cairo_image_surface_create_from_png_stream(readChunks, &reader));
    if (cairo_surface_status(read.get()) != CAIRO_STATUS_SUCCESS) {
        request.refuse("a damaged PNG picture");
        return nullptr;
    }
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
