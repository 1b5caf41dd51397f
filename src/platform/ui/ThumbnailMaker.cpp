#include "platform/ui/ThumbnailMaker.h"

#include "platform/foundation/FileManager.h"
#include "platform/graphics/ExifOrientation.h"
#include "platform/graphics/ImageContext.h"

#include <bit>
#include <cairo.h>
#include <memory>
#include <turbojpeg.h>

namespace platform {

namespace {

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// No photo is this large; anything bigger is not worth reading for a thumbnail.
constexpr std::uintmax_t kMaxFileBytes = 256u << 20;

constexpr int kArgbPixelFormat = std::endian::native == std::endian::little ? TJPF_BGRA : TJPF_ARGB;

// A JPEG decoded straight at a reduced size; nullptr when this fast way does not apply
// (ink-based colour, damage), so the caller can take the full decoder's way.
ImageRef decodeReduced(const std::vector<std::uint8_t>& data, int side) {
    if (data.size() < 3 || data[0] != 0xff || data[1] != 0xd8)
        return nullptr;
    std::unique_ptr<void, TjDeleter> handle(tjInitDecompress());
    if (!handle)
        return nullptr;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data.data(), data.size(), &width, &height, &subsampling,
                            &colorspace) != 0 ||
        width <= 0 || height <= 0 || colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
        return nullptr;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    int bestWidth = width, bestHeight = height;
    for (int i = 0; factors && i < count; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if (std::min(w, h) >= side &&
            w * static_cast<long>(h) < bestWidth * static_cast<long>(bestHeight)) {
            bestWidth = w;
            bestHeight = h;
        }
    }
    if (static_cast<std::int64_t>(bestWidth) * bestHeight > Image::kMaxPixels)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bestWidth, bestHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    const int status = tjDecompress2(
        handle.get(), data.data(), data.size(), cairo_image_surface_get_data(surface), bestWidth,
        cairo_image_surface_get_stride(surface), bestHeight, kArgbPixelFormat, TJFLAG_LIMITSCANS);
    if (status != 0) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_mark_dirty(surface);
    const auto flag =
        static_cast<ImageOrientation>(ExifOrientation::read(data.data(), data.size()));
    return Image::fromSurface(surface, flag);
}

} // namespace

ImageRef ThumbnailMaker::fromImage(const Image& image, int side) {
    if (side < 1)
        return nullptr;
    const Size seen = image.size();
    if (seen.width <= 0 || seen.height <= 0)
        return nullptr;
    const double scale = side / std::min(seen.width, seen.height);
    const double w = seen.width * scale;
    const double h = seen.height * scale;
    ImageContext context(side, side);
    context.setRGBFillColor(0, 0, 0, 1);
    context.fillRect({0, 0, static_cast<double>(side), static_cast<double>(side)});
    context.drawImageUpright({(side - w) / 2, (side - h) / 2, w, h}, image);
    return context.makeImage();
}

ImageRef ThumbnailMaker::make(const std::filesystem::path& path, int side) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes)
        return nullptr;
    const auto bytes = FileManager::contents(path);
    if (!bytes || bytes->empty())
        return nullptr;
    ImageRef picture = decodeReduced(*bytes, side);
    if (!picture)
        picture = Image::fromEncodedData(bytes->data(), bytes->size(), nullptr, side);
    return picture ? fromImage(*picture, side) : nullptr;
}

} // namespace platform
