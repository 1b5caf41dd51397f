#pragma once

// Pictures tests make for themselves, and ways to read their pixels back. Only the graphics
// layer is needed, so every test program can use them.

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testpictures {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kGrey = 0xFF808080;
constexpr std::uint32_t kYellow = 0xFFFFFF00;

// A straight (not premultiplied) colour, components 0 to 1.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

inline std::uint32_t premultipliedWord(Rgba c) {
    auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    const double a = std::clamp(c.a, 0.0, 1.0);
    return channel(a) << 24 | channel(c.r * a) << 16 | channel(c.g * a) << 8 | channel(c.b * a);
}

// A picture whose stored pixel (x, y), y down from the first stored row, is the premultiplied
// ARGB word colourAt(x, y).
inline platform::ImageRef
picture(int width, int height, const std::function<std::uint32_t(int, int)>& colourAt,
        platform::ImageOrientation orientation = platform::ImageOrientation::Up) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            argb[static_cast<std::size_t>(y) * width + x] = colourAt(x, y);
    return platform::Image::fromPixels(width, height, argb, orientation);
}

// The same, with the straight colour f(x, y) at each stored pixel.
inline platform::ImageRef
picture(int width, int height, const std::function<Rgba(int, int)>& f,
        platform::ImageOrientation orientation = platform::ImageOrientation::Up) {
    return picture(
        width, height, [&f](int x, int y) { return premultipliedWord(f(x, y)); }, orientation);
}

inline platform::ImageRef solid(int width, int height, std::uint32_t argb) {
    return picture(width, height, [argb](int, int) { return argb; });
}

inline platform::ImageRef solid(int width, int height, Rgba c) {
    return picture(width, height, [c](int, int) { return premultipliedWord(c); });
}

// Every pixel different, so a remap that lands one pixel off is caught.
inline std::uint32_t numbered(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x & 0xFFF) << 12 |
           static_cast<std::uint32_t>(y & 0xFFF);
}

// Colours compared channel by channel, for pictures that went through a codec or a filter.
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

// Straight (unpremultiplied) colour of a stored pixel, components 0 to 1.
inline Rgba colorAt(const platform::Image& image, int x, int y) {
    const std::uint32_t word = image.pixel(x, y);
    const double a = (word >> 24 & 0xff) / 255.0;
    if (a == 0)
        return {0, 0, 0, 0};
    return {(word >> 16 & 0xff) / 255.0 / a, (word >> 8 & 0xff) / 255.0 / a,
            (word & 0xff) / 255.0 / a, a};
}

// Something like a photograph: a sky gradient, a sun, green hills, a red house with a grey
// roof, and a strip of neutral greys along the bottom so grey stays testable.
inline Rgba landscape(double u, double v) {
    const double dx = u - 0.72, dy = v - 0.22;
    if (v > 0.92)
        return {u, u, u, 1}; // grey ramp
    if (dx * dx + dy * dy < 0.01)
        return {1.0, 0.85, 0.2, 1}; // sun
    if (u > 0.2 && u < 0.45 && v > 0.55 && v < 0.8)
        return {0.8, 0.1, 0.1, 1}; // house
    if (u > 0.17 && u < 0.48 && v > 0.45 && v <= 0.55)
        return {0.45, 0.45, 0.45, 1}; // roof
    if (v > 0.6 + 0.08 * std::sin(u * 9.0))
        return {0.15 + 0.2 * u, 0.55 - 0.2 * v, 0.15, 1}; // hills
    return {0.2 + 0.3 * v, 0.45 + 0.3 * v, 0.95, 1};      // sky
}

inline platform::ImageRef landscapePicture(int width, int height) {
    return picture(width, height,
                   [=](int x, int y) { return landscape((x + 0.5) / width, (y + 0.5) / height); });
}

// Where tests leave pictures for a person to look at, when MORVANE_TEST_OUTPUT names a folder.
inline void keepForViewing(const platform::Image& image, const std::string& fileName) {
    const char* folder = std::getenv("MORVANE_TEST_OUTPUT");
    if (!folder || !*folder)
        return;
    std::filesystem::create_directories(folder);
    image.writePng(std::filesystem::path(folder) / fileName);
}

} // namespace testpictures
