#include "PixelPainting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace artwork {

namespace {

std::uint32_t pack(const Color& c) {
    auto byte = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5);
    };
    const double a = clamp01(c.a);
    return byte(a) << 24 | byte(c.r * a) << 16 | byte(c.g * a) << 8 | byte(c.b * a);
}

} // namespace

Canvas paintPixels(int width, int height, const std::function<Color(double x, double y)>& pixel) {
    Canvas canvas(width, height);
    std::uint32_t* data = canvas.beginPixels();
    const int stride = canvas.stride();
    const int cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    auto band = [&](int part) {
        for (int y = part; y < height; y += cores) {
            std::uint32_t* row = data + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                row[x] = pack(pixel(x + 0.5, y + 0.5));
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (int part = 1; part < cores; ++part) {
            workers.emplace_back(band, part);
        }
        band(0);
    }
    canvas.endPixels();
    return canvas;
}

} // namespace artwork
