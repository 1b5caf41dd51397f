#include "platform/graphics/JpegCodec.h"

#include "platform/graphics/JpegEncoder.h"

#include <turbojpeg.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace platform {

namespace {

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// Cairo's ARGB32 is a native-endian 32-bit word, so its byte order depends on the machine.
constexpr int kArgbPixelFormat = std::endian::native == std::endian::little ? TJPF_BGRA : TJPF_ARGB;

// CMYK JPEGs (as image editors write them) store inverted inks; TurboJPEG will not turn them
// into RGB itself, so they are decoded as CMYK and converted here.
void cmykToArgb(const std::vector<std::uint8_t>& cmyk, cairo_surface_t* surface, int width,
                int height) {
    std::uint8_t* out = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = cmyk.data() + static_cast<std::size_t>(y) * width * 4;
        auto* row = reinterpret_cast<std::uint32_t*>(out + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < width; ++x, src += 4) {
            const unsigned k = src[3];
            const unsigned r = (src[0] * k + 127) / 255;
            const unsigned g = (src[1] * k + 127) / 255;
            const unsigned b = (src[2] * k + 127) / 255;
            row[x] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    }
}

bool isTruncationWarning(void* handle) {
    // libjpeg reports a file that ends early only as a warning and fills the rest with grey:
    // "Premature end of JPEG file", or "premature end of data segment" when the data stops at
    // a marker. Such a picture is not what the file meant to hold, so it counts as unreadable.
    std::string message = tjGetErrorStr2(handle);
    std::transform(message.begin(), message.end(), message.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return message.find("premature end") != std::string::npos;
}

} // namespace

bool JpegCodec::looksLikeJpeg(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
}

JpegCodec::Scale JpegCodec::chooseScale(int width, int height, const DecodeRequest& request) {
    // Whole first, then the reductions the DCT gives almost for free. With a working size,
    // nothing larger is ever made: a header claiming gigapixels is refused from the header.
    static constexpr int kDenominators[] = {1, 2, 4, 8};
    const std::int64_t cap = request.workingPixels > 0 ? request.workingPixels : request.maxPixels;
    Scale scales[4];
    for (int i = 0; i < 4; ++i) {
        const int d = kDenominators[i];
        scales[i] = {d, (width + d - 1) / d, (height + d - 1) / d};
    }
    int first = 0;
    if (request.shortSide > 0) {
        // The smallest that still covers the need; the whole picture when none does.
        first = 3;
        while (first > 0 && std::min(scales[first].width, scales[first].height) < request.shortSide)
            --first;
    }
    for (int i = first; i < 4; ++i)
        if (scales[i].width <= request.maxSide && scales[i].height <= request.maxSide &&
            std::int64_t{scales[i].width} * scales[i].height <= cap)
            return scales[i];
    return {};
}

SurfaceHandle JpegCodec::decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request) {
    if (!looksLikeJpeg(data, size)) {
        request.refuse("not a JPEG picture");
        return nullptr;
    }
    TjHandle handle(tjInitDecompress());
    if (!handle) {
        request.refuse("the JPEG decoder could not be started");
        return nullptr;
    }
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
            0 ||
        width <= 0 || height <= 0) {
        request.refuse("a damaged JPEG picture (its header cannot be read)");
        return nullptr;
    }
    const Scale scale = chooseScale(width, height, request);
    if (scale.denominator == 0) {
        request.refuse(tooLargeReason(width, height, request));
        return nullptr;
    }

    // A file that lacks only its end marker still holds every pixel: the marker is put back,
    // so that an early end means a file really cut short.
    std::vector<std::uint8_t> ended;
    if (size < 2 || data[size - 2] != 0xff || data[size - 1] != 0xd9) {
        ended.reserve(size + 2);
        ended.assign(data, data + size);
        ended.push_back(0xff);
        ended.push_back(0xd9);
        data = ended.data();
        size = ended.size();
    }

    const int w = scale.width, h = scale.height;
    // Not cleared: the decoder writes every row, or the picture is refused below.
    SurfaceHandle surface = makeArgbSurface(w, h, false);
    if (!surface) {
        request.refuse("not enough memory for " + std::to_string(w) + " by " + std::to_string(h) +
                       " pixels");
        return nullptr;
    }
    const int flags = TJFLAG_LIMITSCANS;
    int status;
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        std::vector<std::uint8_t> cmyk(static_cast<std::size_t>(w) * h * 4);
        status =
            tjDecompress2(handle.get(), data, size, cmyk.data(), w, w * 4, h, TJPF_CMYK, flags);
        if (status == 0 || tjGetErrorCode(handle.get()) == TJERR_WARNING)
            cmykToArgb(cmyk, surface.get(), w, h);
    } else {
        status = tjDecompress2(
            handle.get(), data, size, cairo_image_surface_get_data(surface.get()), w,
            cairo_image_surface_get_stride(surface.get()), h, kArgbPixelFormat, flags);
    }
    // With the end marker put back, any complaint means the picture's data stopped early.
    if (status != 0 && (!ended.empty() || tjGetErrorCode(handle.get()) != TJERR_WARNING ||
                        isTruncationWarning(handle.get()))) {
        request.refuse("a damaged or cut short JPEG picture");
        return nullptr;
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

std::string JpegCodec::tooLargeReason(std::int64_t width, std::int64_t height,
                                      const DecodeRequest& request) {
    const std::int64_t cap = request.workingPixels > 0 ? request.workingPixels : request.maxPixels;
    return "too large: " + std::to_string(width) + " by " + std::to_string(height) +
           " pixels; even read at 1/8 of its size it would have more than " +
           std::to_string(cap / 1'000'000) + " megapixels or " + std::to_string(request.maxSide) +
           " pixels a side";
}

std::vector<std::uint8_t> JpegCodec::encode(const std::uint8_t* argb, int width, int height,
                                            int stride, double quality) {
    JpegEncoder encoder;
    const std::span<const std::uint8_t> bytes =
        encoder.encode(argb, width, height, stride, quality);
    return {bytes.begin(), bytes.end()};
}

} // namespace platform
