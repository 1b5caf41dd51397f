#include "platform/graphics/Image.h"

#include "platform/graphics/ExifOrientation.h"
#include "platform/graphics/HeifCodec.h"
#include "platform/graphics/ImageCache.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/PngCodec.h"
#include "platform/graphics/SurfaceHandle.h"
#include "platform/graphics/WebpCodec.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

namespace {

constexpr const char* kNotAPicture = "not a picture that can be read (JPEG, PNG, HEIC or WebP)";

// The whole of a picture file, after its first bytes showed a known signature and its size a
// file a picture can be in: anything else is refused before it is read.
std::optional<std::vector<std::uint8_t>> readPictureBytes(const std::filesystem::path& path,
                                                          std::string& whyNot) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        whyNot = "no such file";
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(status)) {
        whyNot = "not a file";
        return std::nullopt;
    }
    if (!in) {
        whyNot = "cannot be read";
        return std::nullopt;
    }
    // Enough for a HEIF file's brands, which may follow a brand of the writer's own.
    std::uint8_t head[32] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const auto got = static_cast<std::size_t>(in.gcount());
    if (!Image::hasPictureSignature(head, got)) {
        whyNot = kNotAPicture;
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > Image::kMaxFileBytes) {
        whyNot = "too large: a file of " + std::to_string(size >> 20) +
                 " MB, where a picture file may have at most " +
                 std::to_string(Image::kMaxFileBytes >> 20) + " MB";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::memcpy(bytes.data(), head, std::min<std::size_t>(got, bytes.size()));
    std::size_t total = std::min<std::size_t>(got, bytes.size());
    if (bytes.size() > total) {
        in.read(reinterpret_cast<char*>(bytes.data() + total),
                static_cast<std::streamsize>(bytes.size() - total));
        total += static_cast<std::size_t>(in.gcount());
    }
    if (total != bytes.size()) {
        whyNot = "cannot be read (it changed while it was read)";
        return std::nullopt;
    }
    return bytes;
}

DecodeRequest requestFor(int shortSide, std::string* whyNot) {
    DecodeRequest request;
    request.maxPixels = Image::kMaxPixels;
    request.maxSide = Image::kMaxSide;
    request.workingPixels = Image::kWorkingPixels;
    request.shortSide = shortSide;
    request.whyNot = whyNot;
    return request;
}

SurfaceHandle copySurfaceRect(cairo_surface_t* source, int x, int y, int width, int height) {
    // Every row is written below.
    SurfaceHandle copy = makeArgbSurface(width, height, false);
    if (!copy)
        return nullptr;
    const std::uint8_t* src = cairo_image_surface_get_data(source);
    const int srcStride = cairo_image_surface_get_stride(source);
    std::uint8_t* dst = cairo_image_surface_get_data(copy.get());
    const int dstStride = cairo_image_surface_get_stride(copy.get());
    for (int row = 0; row < height; ++row)
        std::memcpy(dst + static_cast<std::size_t>(row) * dstStride,
                    src + static_cast<std::size_t>(y + row) * srcStride + std::size_t(x) * 4,
                    static_cast<std::size_t>(width) * 4);
    cairo_surface_mark_dirty(copy.get());
    return copy;
}

const cairo_user_data_key_t kParentKey{};

void releaseParent(void* parent) {
    cairo_surface_destroy(static_cast<cairo_surface_t*>(parent));
}

} // namespace

bool Image::hasPictureSignature(const std::uint8_t* head, std::size_t size) {
    return JpegCodec::looksLikeJpeg(head, size) || PngCodec::looksLikePng(head, size) ||
           HeifCodec::looksLikeHeif(head, size) || WebpCodec::looksLikeWebp(head, size);
}

bool isQuarterTurn(ImageOrientation orientation) {
    switch (orientation) {
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::Right:
    case ImageOrientation::RightMirrored:
    case ImageOrientation::Left:
        return true;
    default:
        return false;
    }
}

Image::Image(cairo_surface_t* surface, ImageOrientation orientation)
    : surface_(surface), width_(cairo_image_surface_get_width(surface)),
      height_(cairo_image_surface_get_height(surface)), orientation_(orientation) {}

Image::~Image() {
    cairo_surface_destroy(surface_);
}

ImageRef Image::fromSurface(cairo_surface_t* surface, ImageOrientation orientation) {
    SurfaceHandle owned(surface);
    if (!owned || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return nullptr;
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPixels)
        return nullptr;
    if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        // Other layouts are painted into ARGB32 so that pixel() and the codecs see one format.
        SurfaceHandle argb = makeArgbSurface(width, height);
        if (!argb)
            return nullptr;
        cairo_t* cr = cairo_create(argb.get());
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        owned = std::move(argb);
    }
    cairo_surface_flush(owned.get());
    return ImageRef(new Image(owned.release(), orientation));
}

ImageRef Image::fromPixels(int width, int height, const std::vector<std::uint32_t>& argb,
                           ImageOrientation orientation) {
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPixels ||
        argb.size() != static_cast<std::size_t>(width) * height)
        return nullptr;
    SurfaceHandle surface = makeArgbSurface(width, height, false);
    if (!surface)
        return nullptr;
    std::uint8_t* dst = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * stride,
                    argb.data() + static_cast<std::size_t>(y) * width,
                    static_cast<std::size_t>(width) * 4);
    cairo_surface_mark_dirty(surface.get());
    return fromSurface(surface.release(), orientation);
}

ImageRef Image::contentsOfFile(const std::filesystem::path& path, std::string* whyNot) {
    // The file is looked at afresh every time; only an unchanged one may come from the cache.
    const auto stamp = ImageCache::stampOf(path);
    if (!stamp || stamp->size == 0 || stamp->size > kMaxFileBytes) {
        if (whyNot) {
            std::error_code error;
            *whyNot = !std::filesystem::exists(path, error) ? "no such file"
                      : stamp && stamp->size == 0           ? "an empty file"
                      : stamp                               ? "too large a file"
                                                            : "it cannot be read";
        }
        return nullptr;
    }
    if (ImageRef kept = ImageCache::find(path, *stamp))
        return kept;
    ImageRef image = readFile(path, 0, whyNot);
    // Kept only if the file did not change while it was read.
    if (image && ImageCache::stampOf(path) == stamp)
        ImageCache::keep(path, *stamp, image);
    return image;
}

ImageRef Image::readFile(const std::filesystem::path& path, int shortSide, std::string* whyNot) {
    std::string reason;
    const auto bytes = readPictureBytes(path, reason);
    if (!bytes) {
        if (whyNot)
            *whyNot = reason;
        return nullptr;
    }
    return decode(bytes->data(), bytes->size(), requestFor(shortSide, whyNot));
}

ImageRef Image::fromEncodedData(const std::uint8_t* data, std::size_t size, std::string* whyNot,
                                int shortSide) {
    const DecodeRequest request = requestFor(shortSide, whyNot);
    if (!data || size == 0) {
        request.refuse("an empty file");
        return nullptr;
    }
    return decode(data, size, request);
}

ImageRef Image::decode(const std::uint8_t* data, std::size_t size, const DecodeRequest& request) {
    if (PngCodec::looksLikePng(data, size))
        return fromSurface(PngCodec::decode(data, size, request).release());
    if (JpegCodec::looksLikeJpeg(data, size)) {
        SurfaceHandle surface = JpegCodec::decode(data, size, request);
        if (!surface)
            return nullptr;
        const auto orientation = static_cast<ImageOrientation>(ExifOrientation::read(data, size));
        return fromSurface(surface.release(), orientation);
    }
    // Upright as decoded: its own transformations are applied by the decoder.
    if (HeifCodec::looksLikeHeif(data, size))
        return fromSurface(HeifCodec::decode(data, size, request).release());
    if (WebpCodec::looksLikeWebp(data, size)) {
        SurfaceHandle surface = WebpCodec::decode(data, size, request);
        if (!surface)
            return nullptr;
        const auto orientation = static_cast<ImageOrientation>(WebpCodec::orientation(data, size));
        return fromSurface(surface.release(), orientation);
    }
    request.refuse(kNotAPicture);
    return nullptr;
}

Size Image::size() const {
    if (isQuarterTurn(orientation_))
        return {static_cast<double>(height_), static_cast<double>(width_)};
    return {static_cast<double>(width_), static_cast<double>(height_)};
}

ImageRef Image::withOrientation(ImageOrientation orientation) const {
    return ImageRef(new Image(cairo_surface_reference(surface_), orientation));
}

ImageRef Image::cropped(const Rect& pixelRect) const {
    const double values[] = {pixelRect.x(), pixelRect.y(), pixelRect.width(), pixelRect.height()};
    for (double v : values)
        if (!std::isfinite(v))
            return nullptr;
    // A fractional rectangle takes in every pixel it touches, then is clipped to the bitmap.
    const double x0 = std::max(0.0, std::floor(pixelRect.minX()));
    const double y0 = std::max(0.0, std::floor(pixelRect.minY()));
    const double x1 = std::min(double(width_), std::ceil(pixelRect.maxX()));
    const double y1 = std::min(double(height_), std::ceil(pixelRect.maxY()));
    if (x1 <= x0 || y1 <= y0)
        return nullptr;
    // The cut shares its parent's pixels, which are as immutable as the cut: no copy, and
    // the parent lives as long as the cut does.
    unsigned char* origin = cairo_image_surface_get_data(surface_) +
                            std::size_t(y0) * std::size_t(stride()) + std::size_t(x0) * 4;
    SurfaceHandle part(cairo_image_surface_create_for_data(origin, CAIRO_FORMAT_ARGB32,
                                                           int(x1 - x0), int(y1 - y0), stride()));
    if (cairo_surface_status(part.get()) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_t* parent = cairo_surface_reference(surface_);
        if (cairo_surface_set_user_data(part.get(), &kParentKey, parent, releaseParent) !=
            CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(parent);
            part.reset();
        }
    } else {
        part.reset();
    }
    if (!part)
        part = copySurfaceRect(surface_, int(x0), int(y0), int(x1 - x0), int(y1 - y0));
    return part ? fromSurface(part.release()) : nullptr;
}

const std::vector<Image::ClearRun>& Image::clearRuns() const {
    std::call_once(clearRunsFound_, [this] {
        clearRuns_.resize(std::size_t(height_));
        for (int y = 0; y < height_; ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(data() + std::ptrdiff_t(y) * stride());
            ClearRun& longest = clearRuns_[std::size_t(y)];
            for (int x = 0; x < width_;) {
                if (row[x] != 0) {
                    ++x;
                    continue;
                }
                const int begin = x;
                while (x < width_ && row[x] == 0)
                    ++x;
                if (x - begin > longest.end - longest.begin)
                    longest = {begin, x};
            }
        }
    });
    return clearRuns_;
}

std::vector<std::uint8_t> Image::jpegData(double quality) const {
    {
        std::lock_guard lock(encodedMutex_);
        if (encoded_ && encoded_->quality == quality)
            return encoded_->bytes;
    }
    // Encoded outside the lock: two threads asking at once both encode, the same bytes.
    auto encoded = std::make_shared<Encoded>(
        Encoded{quality, JpegCodec::encode(data(), width_, height_, stride(), quality)});
    std::vector<std::uint8_t> bytes = encoded->bytes;
    if (!bytes.empty()) {
        std::lock_guard lock(encodedMutex_);
        encoded_ = std::move(encoded);
    }
    return bytes;
}

bool Image::writeJpeg(const std::filesystem::path& path, double quality) const {
    const std::vector<std::uint8_t> bytes = jpegData(quality);
    if (bytes.empty())
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool Image::writePng(const std::filesystem::path& path) const {
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::uint32_t Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    std::uint32_t value;
    std::memcpy(&value, data() + static_cast<std::size_t>(y) * stride() + std::size_t(x) * 4, 4);
    return value;
}

const std::uint8_t* Image::data() const {
    return cairo_image_surface_get_data(surface_);
}

int Image::stride() const {
    return cairo_image_surface_get_stride(surface_);
}

} // namespace platform
