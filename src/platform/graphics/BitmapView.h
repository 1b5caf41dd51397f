#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Rows of premultiplied ARGB32 words in memory someone else owns: a surface's pixels, or a
// picture's. The fast drawing paths work on these instead of on Cairo objects.
struct BitmapView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; // in words, not bytes

    std::uint32_t* row(int y) const { return pixels + y * stride; }
    bool isEmpty() const { return !pixels || width <= 0 || height <= 0; }
};

// The same for pixels that are only read.
struct ConstBitmapView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; // in words

    const std::uint32_t* row(int y) const { return pixels + y * stride; }
    std::uint32_t at(int x, int y) const { return pixels[y * stride + x]; }
};

} // namespace platform
