#pragma once

#include "platform/graphics/Image.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace cameratest {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kGrey = 0xFF808080;

// A picture whose stored pixel (x, y) is colourAt(x, y).
inline platform::ImageRef
picture(int width, int height, const std::function<std::uint32_t(int, int)>& colourAt,
        platform::ImageOrientation flag = platform::ImageOrientation::Up) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] = colourAt(x, y);
    return platform::Image::fromPixels(width, height, pixels, flag);
}

// Every pixel different, so a remap that lands one pixel off is caught.
inline std::uint32_t numbered(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x & 0xFFF) << 12 |
           static_cast<std::uint32_t>(y & 0xFFF);
}

// Colours compared channel by channel, for pictures that went through a codec or a filter.
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

} // namespace cameratest
