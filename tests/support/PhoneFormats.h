#pragma once

// HEIC and WebP photographs made at test time with the libraries' own encoders, stored as
// phones and browsers store them: turned by the container's own transformation (HEIF) or by
// an EXIF orientation (WebP), so that reading them upright can be checked.

#include "support/OrientedPhoto.h"

#include "platform/graphics/Image.h"

#include <libheif/heif.h>
#include <webp/encode.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace phoneformats {

// A bare EXIF block (TIFF data, no "Exif" header) holding only the orientation tag.
inline std::vector<std::uint8_t> exifBlock(int orientation) {
    std::vector<std::uint8_t> tiff = {'I',  'I',  0x2A, 0x00, 0x08, 0x00, 0x00, 0x00, 0x01,
                                      0x00, 0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00,
                                      0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    tiff[18] = static_cast<std::uint8_t>(orientation);
    return tiff;
}

// Straight RGB bytes of an opaque picture's stored pixels.
inline std::vector<std::uint8_t> rgbOf(const platform::Image& picture) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(picture.pixelWidth()) * picture.pixelHeight() * 3);
    for (int y = 0; y < picture.pixelHeight(); ++y)
        for (int x = 0; x < picture.pixelWidth(); ++x) {
            const std::uint32_t p = picture.pixel(x, y);
            rgb.insert(rgb.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
        }
    return rgb;
}

// A HEIC file of `stored`, shown turned by `transform` (1 to 8, numbered as EXIF numbers
// orientations), with an EXIF block saying the same when exifOrientation is above 0, as
// phones write it for readers that know no HEIF transformations. Empty on failure.
inline std::vector<std::uint8_t> heicWithExif(const platform::Image& stored, int transform,
                                              const std::vector<std::uint8_t>& exif) {
    std::vector<std::uint8_t> out;
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    const int w = stored.pixelWidth(), h = stored.pixelHeight();
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
            heif_error_Ok &&
        heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code ==
            heif_error_Ok &&
        heif_image_add_plane(image, heif_channel_interleaved, w, h, 8).code == heif_error_Ok) {
        int stride = 0;
        std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        const std::vector<std::uint8_t> rgb = rgbOf(stored);
        for (int y = 0; y < h; ++y)
            std::memcpy(plane + std::size_t(y) * stride, rgb.data() + std::size_t(y) * w * 3,
                        std::size_t(w) * 3);
        heif_encoder_set_lossy_quality(encoder, 92);
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = static_cast<heif_orientation>(transform);
        heif_image_handle* handle = nullptr;
        if (heif_context_encode_image(context, image, encoder, options, &handle).code ==
            heif_error_Ok) {
            if (!exif.empty())
                heif_context_add_exif_metadata(context, handle, exif.data(), int(exif.size()));
            heif_writer writer{
                1, [](heif_context*, const void* data, std::size_t size, void* target) {
                    auto* bytes = static_cast<std::vector<std::uint8_t>*>(target);
                    const auto* begin = static_cast<const std::uint8_t*>(data);
                    bytes->insert(bytes->end(), begin, begin + size);
                    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
                }};
            heif_context_write(context, &writer, &out);
        }
        heif_image_handle_release(handle);
        heif_encoding_options_free(options);
    }
    heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

inline std::vector<std::uint8_t> heic(const platform::Image& stored, int transform = 1,
                                      int exifOrientation = 0) {
    return heicWithExif(stored, transform,
                        exifOrientation > 0 ? exifBlock(exifOrientation)
                                            : std::vector<std::uint8_t>());
}

inline std::uint32_t littleEndian32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

// A lossless WebP file of `stored`; with exifOrientation above 0, in the extended form with an
// EXIF chunk holding that orientation, as a browser saves a photograph. Empty on failure.
inline std::vector<std::uint8_t> webpWithExif(const platform::Image& stored,
                                              const std::vector<std::uint8_t>& exif) {
    const int w = stored.pixelWidth(), h = stored.pixelHeight();
    const std::vector<std::uint8_t> rgb = rgbOf(stored);
    std::uint8_t* encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessRGB(rgb.data(), w, h, w * 3, &encoded);
    std::vector<std::uint8_t> simple(encoded, encoded + size);
    WebPFree(encoded);
    if (exif.empty() || simple.size() < 20)
        return simple;
    // RIFF header, a VP8X chunk (EXIF flag, canvas size less one), the bitstream's own chunk
    // as the encoder wrote it, then the EXIF chunk.
    std::vector<std::uint8_t> body = {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
    putLittleEndian(body, 10, 4);
    putLittleEndian(body, 0x08, 4);
    putLittleEndian(body, std::uint32_t(w - 1), 3);
    putLittleEndian(body, std::uint32_t(h - 1), 3);
    body.insert(body.end(), simple.begin() + 12, simple.end());
    body.insert(body.end(), {'E', 'X', 'I', 'F'});
    putLittleEndian(body, std::uint32_t(exif.size()), 4);
    body.insert(body.end(), exif.begin(), exif.end());
    if (exif.size() % 2)
        body.push_back(0);
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    putLittleEndian(file, std::uint32_t(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

inline std::vector<std::uint8_t> webp(const platform::Image& stored, int exifOrientation = 0) {
    return webpWithExif(stored, exifOrientation > 0 ? exifBlock(exifOrientation)
                                                    : std::vector<std::uint8_t>());
}

inline bool writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty())
        return false;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return static_cast<bool>(out);
}

// The quarters picture (see OrientedPhoto.h) seen at width × height, stored under an
// orientation: as a HEIC turned by its own transformation (and the EXIF copy a phone adds),
// or as a WebP turned by its EXIF orientation.
inline bool writeQuartersHeic(const std::filesystem::path& path, int orientation, int width,
                              int height) {
    const platform::ImageRef stored =
        oriented::storedPicture(orientation, width, height, [&](int u, int v) {
            return oriented::quarterColour(u >= width / 2, v >= height / 2);
        });
    return stored && writeBytes(path, heic(*stored, orientation, orientation));
}

inline bool writeQuartersWebp(const std::filesystem::path& path, int orientation, int width,
                              int height) {
    const platform::ImageRef stored =
        oriented::storedPicture(orientation, width, height, [&](int u, int v) {
            return oriented::quarterColour(u >= width / 2, v >= height / 2);
        });
    return stored && writeBytes(path, webp(*stored, orientation));
}

} // namespace phoneformats
