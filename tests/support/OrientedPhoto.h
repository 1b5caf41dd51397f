#pragma once

#include "support/TestPictures.h"

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

// Photographs as cameras store them: a JPEG whose bitmap must be turned or mirrored by its
// EXIF orientation to be seen upright. The picture seen is always the same four flat quarters,
// so whichever way a photo was stored, its upright picture can be checked the same way.
namespace oriented {

// Red top left, green top right, blue bottom left, yellow bottom right, as seen upright.
inline std::uint32_t quarterColour(bool right, bool bottom) {
    static constexpr std::uint32_t kColours[2][2] = {{0xFFE02020u, 0xFF20C020u},
                                                     {0xFF2040E0u, 0xFFE0E020u}};
    return kColours[bottom][right];
}

// Where the seen pixel (u, v) of a seen picture width × height is stored under an EXIF
// orientation, written from the tag's definition (which stored edge is the seen top/left)
// rather than from the camera's own mapping code.
inline void storedPosition(int orientation, int u, int v, int width, int height, int& x, int& y) {
    switch (orientation) {
    case 2:
        x = width - 1 - u, y = v;
        break;
    case 3:
        x = width - 1 - u, y = height - 1 - v;
        break;
    case 4:
        x = u, y = height - 1 - v;
        break;
    case 5:
        x = v, y = u;
        break;
    case 6:
        x = v, y = width - 1 - u;
        break;
    case 7:
        x = height - 1 - v, y = width - 1 - u;
        break;
    case 8:
        x = height - 1 - v, y = u;
        break;
    default:
        x = u, y = v;
        break;
    }
}

// The stored bitmap of a picture seen at width × height under an orientation, whose seen
// pixel (u, v) is seen(u, v).
inline platform::ImageRef storedPicture(int orientation, int width, int height,
                                        const std::function<std::uint32_t(int, int)>& seen) {
    const bool turned = orientation >= 5;
    const int storedWidth = turned ? height : width;
    const int storedHeight = turned ? width : height;
    std::vector<std::uint32_t> argb(std::size_t(storedWidth) * storedHeight);
    for (int v = 0; v < height; ++v)
        for (int u = 0; u < width; ++u) {
            int x = 0, y = 0;
            storedPosition(orientation, u, v, width, height, x, y);
            argb[std::size_t(y) * storedWidth + x] = seen(u, v);
        }
    return platform::Image::fromPixels(storedWidth, storedHeight, argb);
}

// JPEG bytes with an EXIF block holding only the orientation tag, as a phone writes it.
inline std::vector<std::uint8_t> withOrientationTag(const std::vector<std::uint8_t>& jpeg,
                                                    int orientation) {
    std::vector<std::uint8_t> exif = {0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0,
                                      0,    'I',  'I',  0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,
                                      0x01, 0x00, 0x12, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00,
                                      0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    exif[28] = static_cast<std::uint8_t>(orientation);
    // Straight after the start-of-image marker, where a camera puts it.
    std::vector<std::uint8_t> out = jpeg;
    out.insert(out.begin() + std::min<std::ptrdiff_t>(2, std::ssize(out)), exif.begin(),
               exif.end());
    return out;
}

// Writes a picture seen at width × height, stored under an orientation.
inline bool writePhoto(const std::filesystem::path& path, int orientation, int width, int height,
                       const std::function<std::uint32_t(int, int)>& seen) {
    const platform::ImageRef stored = storedPicture(orientation, width, height, seen);
    if (!stored)
        return false;
    const std::vector<std::uint8_t> jpeg = withOrientationTag(stored->jpegData(1.0), orientation);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    return static_cast<bool>(out);
}

// Writes the quarters picture, seen at width × height, stored under an orientation.
inline bool writeQuarters(const std::filesystem::path& path, int orientation, int width,
                          int height) {
    return writePhoto(path, orientation, width, height,
                      [&](int u, int v) { return quarterColour(u >= width / 2, v >= height / 2); });
}

// Colours within a few steps of each other in every channel (JPEG's rounding).
using testpictures::near;

// FNV-1a over a picture's size and stored pixels: a short record of exactly what was made.
inline std::uint64_t fingerprint(const platform::Image& image) {
    std::uint64_t hash = 1469598103934665603ull;
    const auto mix = [&hash](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            hash ^= (value >> (8 * i)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    mix(std::uint32_t(image.pixelWidth()));
    mix(std::uint32_t(image.pixelHeight()));
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            mix(image.pixel(x, y));
    return hash;
}

} // namespace oriented
