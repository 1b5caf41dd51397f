#pragma once

// What must hold for any bytes loaded as a picture. Shared by the fuzzer and by the test that
// replays every input the fuzzer ever caught.

#include "platform/graphics/ExifOrientation.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <string>

namespace hardening {

// Empty when the bytes load as no picture, or as a whole one within the size limit.
inline std::string checkImage(const std::uint8_t* data, std::size_t size) {
    // The EXIF reader is also tried on its own: through a picture it only runs once the whole
    // JPEG has decoded, which damaged bytes seldom manage.
    const int exif = platform::ExifOrientation::read(data, size);
    if (exif < 1 || exif > 8) {
        return "an EXIF orientation outside 1 to 8";
    }
    const auto image = platform::Image::fromEncodedData(data, size);
    if (!image) {
        return {};
    }
    const int width = image->pixelWidth();
    const int height = image->pixelHeight();
    if (width <= 0 || height <= 0) {
        return "an empty picture";
    }
    if (static_cast<std::int64_t>(width) * height > platform::Image::kMaxPixels) {
        return "a picture above the size limit";
    }
    if (image->stride() < width * 4) {
        return "rows shorter than the picture";
    }
    const int flag = static_cast<int>(image->orientation());
    if (flag < 1 || flag > 8) {
        return "an orientation flag outside 1 to 8";
    }
    // The first and the last stored pixel: under the sanitizers both reads must stay inside
    // the bitmap.
    volatile std::uint32_t corners = image->pixel(0, 0) ^ image->pixel(width - 1, height - 1);
    (void)corners;
    return {};
}

} // namespace hardening
