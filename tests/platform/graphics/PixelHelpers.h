#pragma once

#include "platform/graphics/Image.h"

#include <array>
#include <cstdint>

namespace testing_pixels {

// One premultiplied pixel as floats 0..1, in the order red, green, blue, alpha.
using Rgba = std::array<double, 4>;

inline Rgba unpack(std::uint32_t argb) {
    return {((argb >> 16) & 0xff) / 255.0, ((argb >> 8) & 0xff) / 255.0, (argb & 0xff) / 255.0,
            (argb >> 24) / 255.0};
}

inline std::uint32_t pack(int r, int g, int b, int a = 255) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) |
           std::uint32_t(b);
}

inline int red(std::uint32_t p) {
    return (p >> 16) & 0xff;
}
inline int green(std::uint32_t p) {
    return (p >> 8) & 0xff;
}
inline int blue(std::uint32_t p) {
    return p & 0xff;
}
inline int alpha(std::uint32_t p) {
    return p >> 24;
}

} // namespace testing_pixels
