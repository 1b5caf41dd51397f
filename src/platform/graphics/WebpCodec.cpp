#include "platform/graphics/WebpCodec.h"

#include "platform/graphics/ExifOrientation.h"
#include "platform/graphics/JpegCodec.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>

namespace platform {

namespace {

// Cairo's ARGB32 is a native-endian word: premultiplied BGRA bytes on a little-endian machine.
constexpr WEBP_CSP_MODE kArgbMode =
    std::endian::native == std::endian::little ? MODE_bgrA : MODE_Argb;

struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

bool withinLimits(int width, int height, const DecodeRequest& request) {
    return width <= request.maxSide && height <= request.maxSide &&
           std::int64_t{width} * height <= request.maxPixels;
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " by " + std::to_string(height) + " pixels";
}

// An animation's first frame as it is seen: the whole canvas, earlier frames never having
// been drawn on it.
SurfaceHandle decodeFirstFrame(const std::uint8_t* data, std::size_t size, int width, int height,
                               const DecodeRequest& request) {
    if (!withinLimits(width, height, request)) {
        request.refuse("too large: " + sizeText(width, height) +
                       ", where an animated picture may have at most " +
                       std::to_string(request.maxPixels / 1'000'000) + " megapixels and " +
                       std::to_string(request.maxSide) + " pixels a side");
        return nullptr;
    }
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) {
        request.refuse("the WebP decoder could not be started");
        return nullptr;
    }
    options.color_mode = kArgbMode;
    options.use_threads = 0;
    const WebPData input{data, size};
    std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(
        WebPAnimDecoderNew(&input, &options));
    std::uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp) || !frame) {
        request.refuse("a damaged or cut short WebP picture");
        return nullptr;
    }
    SurfaceHandle surface = makeArgbSurface(width, height, false);
    if (!surface) {
        request.refuse("not enough memory for " + sizeText(width, height));
        return nullptr;
    }
    std::uint8_t* out = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y)
        std::memcpy(out + std::size_t(y) * stride, frame + std::size_t(y) * width * 4,
                    std::size_t(width) * 4);
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

} // namespace

bool WebpCodec::looksLikeWebp(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

bool WebpCodec::readSize(const std::uint8_t* data, std::size_t size, int& width, int& height) {
    if (!looksLikeWebp(data, size))
        return false;
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK || features.width <= 0 ||
        features.height <= 0)
        return false;
    width = features.width;
    height = features.height;
    return true;
}

SurfaceHandle WebpCodec::decode(const std::uint8_t* data, std::size_t size,
                                const DecodeRequest& request) {
    if (!looksLikeWebp(data, size)) {
        request.refuse("not a WebP picture");
        return nullptr;
    }
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        request.refuse("the WebP decoder could not be started");
        return nullptr;
    }
    if (WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK || config.input.width <= 0 ||
        config.input.height <= 0) {
        request.refuse("a damaged WebP picture (its header cannot be read)");
        return nullptr;
    }
    const int width = config.input.width, height = config.input.height;
    if (config.input.has_animation)
        return decodeFirstFrame(data, size, width, height, request);

    // The same sizes a JPEG would be read at, so a print of either is made from as many pixels.
    const JpegCodec::Scale scale = JpegCodec::chooseScale(width, height, request);
    if (scale.denominator == 0) {
        request.refuse(JpegCodec::tooLargeReason(width, height, request));
        return nullptr;
    }
    if (scale.denominator > 1) {
        config.options.use_scaling = 1;
        config.options.scaled_width = scale.width;
        config.options.scaled_height = scale.height;
    }
    // Not cleared: the decoder writes every row, or the picture is refused below.
    SurfaceHandle surface = makeArgbSurface(scale.width, scale.height, false);
    if (!surface) {
        request.refuse("not enough memory for " + sizeText(scale.width, scale.height));
        return nullptr;
    }
    const int stride = cairo_image_surface_get_stride(surface.get());
    config.output.colorspace = kArgbMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = cairo_image_surface_get_data(surface.get());
    config.output.u.RGBA.stride = stride;
    config.output.u.RGBA.size = std::size_t(stride) * std::size_t(scale.height);
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        request.refuse(status == VP8_STATUS_NOT_ENOUGH_DATA ? "a cut short WebP picture"
                                                            : "a damaged WebP picture");
        return nullptr;
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

std::vector<std::uint8_t> WebpCodec::exifBlock(const std::uint8_t* data, std::size_t size) {
    if (!looksLikeWebp(data, size))
        return {};
    const WebPData input{data, size};
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&input));
    if (!demux || !(WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG))
        return {};
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk))
        return {};
    std::vector<std::uint8_t> block(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return block;
}

int WebpCodec::orientation(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> block = exifBlock(data, size);
    return block.empty() ? 1 : ExifOrientation::readBlock(block.data(), block.size());
}

} // namespace platform
