#include "platform/graphics/HeifCodec.h"

#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace platform {

namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;

constexpr std::array<const char*, 10> kBrands = {"heic", "heix", "heim", "heis", "hevc",
                                                 "hevx", "hevm", "hevs", "mif1", "msf1"};

bool isHeifBrand(const std::uint8_t* brand) {
    return std::any_of(kBrands.begin(), kBrands.end(),
                       [brand](const char* known) { return std::memcmp(brand, known, 4) == 0; });
}

// libheif's own words name boxes and file positions, which tell a user nothing.
std::string reasonFrom(const heif_error& error) {
    if (error.code == heif_error_Unsupported_feature ||
        error.code == heif_error_Unsupported_filetype)
        return "a HEIF picture in a coding this camera cannot decode";
    return "a damaged or cut short HEIF picture";
}

// The smallest thumbnail the file keeps whose shorter side has `side` pixels; null when none.
Handle thumbnailFor(heif_image_handle* primary, int side) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    Handle best;
    for (heif_item_id id : ids) {
        heif_image_handle* found = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &found).code != heif_error_Ok)
            continue;
        Handle thumbnail(found);
        const int w = heif_image_handle_get_width(found), h = heif_image_handle_get_height(found);
        if (std::min(w, h) < side)
            continue;
        if (!best || std::int64_t{w} * h < std::int64_t{heif_image_handle_get_width(best.get())} *
                                               heif_image_handle_get_height(best.get()))
            best = std::move(thumbnail);
    }
    return best;
}

} // namespace

bool HeifCodec::looksLikeHeif(const std::uint8_t* data, std::size_t size) {
    if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0)
        return false;
    if (isHeifBrand(data + 8))
        return true;
    // Some writers put a brand of their own first and HEIF among the compatible ones.
    const std::size_t boxSize = (std::size_t{data[0]} << 24) | (std::size_t{data[1]} << 16) |
                                (std::size_t{data[2]} << 8) | data[3];
    for (std::size_t at = 16; at + 4 <= std::min(boxSize, size); at += 4)
        if (isHeifBrand(data + at))
            return true;
    return false;
}

bool HeifCodec::readSize(const std::filesystem::path& path, int& width, int& height) {
    Context context(heif_context_alloc());
    if (!context ||
        heif_context_read_from_file(context.get(), path.c_str(), nullptr).code != heif_error_Ok)
        return false;
    heif_image_handle* found = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &found).code != heif_error_Ok)
        return false;
    Handle primary(found);
    width = heif_image_handle_get_width(found);
    height = heif_image_handle_get_height(found);
    return width > 0 && height > 0;
}

std::vector<std::uint8_t> HeifCodec::exifBlock(const std::filesystem::path& path) {
    Context context(heif_context_alloc());
    heif_image_handle* found = nullptr;
    if (!context ||
        heif_context_read_from_file(context.get(), path.c_str(), nullptr).code != heif_error_Ok ||
        heif_context_get_primary_image_handle(context.get(), &found).code != heif_error_Ok)
        return {};
    Handle primary(found);
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(found, "Exif", &id, 1) < 1)
        return {};
    const std::size_t size = heif_image_handle_get_metadata_size(found, id);
    // A block starts with where its TIFF data begins, past that count; a megabyte is far more
    // than any camera writes.
    if (size < 4 || size > (1u << 20))
        return {};
    std::vector<std::uint8_t> block(size);
    if (heif_image_handle_get_metadata(found, id, block.data()).code != heif_error_Ok)
        return {};
    const std::size_t skip = (std::size_t{block[0]} << 24) | (std::size_t{block[1]} << 16) |
                             (std::size_t{block[2]} << 8) | block[3];
    if (skip > size - 4)
        return {};
    return {block.begin() + std::ptrdiff_t(4 + skip), block.end()};
}

SurfaceHandle HeifCodec::decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request) {
    if (!looksLikeHeif(data, size)) {
        request.refuse("not a HEIF picture");
        return nullptr;
    }
    Context context(heif_context_alloc());
    if (!context) {
        request.refuse("the HEIF decoder could not be started");
        return nullptr;
    }
    heif_error error =
        heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr);
    heif_image_handle* found = nullptr;
    if (error.code == heif_error_Ok)
        error = heif_context_get_primary_image_handle(context.get(), &found);
    if (error.code != heif_error_Ok) {
        request.refuse(reasonFrom(error));
        return nullptr;
    }
    Handle primary(found);
    const int width = heif_image_handle_get_width(found);
    const int height = heif_image_handle_get_height(found);
    if (width <= 0 || height <= 0) {
        request.refuse("a damaged HEIF picture (its size cannot be)");
        return nullptr;
    }
    if (width > request.maxSide || height > request.maxSide ||
        std::int64_t{width} * height > request.maxPixels) {
        request.refuse("too large: " + std::to_string(width) + " by " + std::to_string(height) +
                       " pixels, where a picture may have at most " +
                       std::to_string(request.maxPixels / 1'000'000) + " megapixels and " +
                       std::to_string(request.maxSide) + " pixels a side");
        return nullptr;
    }
    Handle thumbnail = request.shortSide > 0 ? thumbnailFor(found, request.shortSide) : nullptr;
    heif_image_handle* chosen = thumbnail ? thumbnail.get() : found;

    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (!options) {
        request.refuse("the HEIF decoder could not be started");
        return nullptr;
    }
    // Deeper colour (10-bit phone photos) is brought to 8 bits, as every picture here has.
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    error = heif_decode_image(chosen, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                              options.get());
    std::unique_ptr<heif_image, ImageDeleter> image(decoded);
    if (error.code != heif_error_Ok || !decoded) {
        request.refuse(reasonFrom(error));
        return nullptr;
    }
    const int w = heif_image_get_width(decoded, heif_channel_interleaved);
    const int h = heif_image_get_height(decoded, heif_channel_interleaved);
    int rgbaStride = 0;
    const std::uint8_t* rgba =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &rgbaStride);
    if (!rgba || w <= 0 || h <= 0 || w > request.maxSide || h > request.maxSide ||
        std::int64_t{w} * h > request.maxPixels || rgbaStride < w * 4) {
        request.refuse("a damaged HEIF picture");
        return nullptr;
    }
    SurfaceHandle surface = makeArgbSurface(w, h, false);
    if (!surface) {
        request.refuse("not enough memory for " + std::to_string(w) + " by " + std::to_string(h) +
                       " pixels");
        return nullptr;
    }
    std::uint8_t* out = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = rgba + std::size_t(y) * rgbaStride;
        auto* row = reinterpret_cast<std::uint32_t*>(out + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x, src += 4) {
            const unsigned a = src[3];
            const unsigned r = (src[0] * a + 127) / 255;
            const unsigned g = (src[1] * a + 127) / 255;
            const unsigned b = (src[2] * a + 127) / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

} // namespace platform
