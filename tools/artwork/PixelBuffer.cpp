#include "PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>

namespace artwork {

PixelBuffer::PixelBuffer(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

void PixelBuffer::generate(const std::function<Color(double x, double y)>& pixel) {
    const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    auto band = [&](unsigned part) {
        for (int y = static_cast<int>(part); y < height_; y += static_cast<int>(cores)) {
            for (int x = 0; x < width_; ++x) {
                at(x, y) = pixel(x + 0.5, y + 0.5);
            }
        }
    };
    std::vector<std::jthread> workers;
    for (unsigned part = 1; part < cores; ++part) {
        workers.emplace_back(band, part);
    }
    band(0);
}

Canvas PixelBuffer::toCanvas() const {
    Canvas canvas(width_, height_);
    std::uint32_t* data = canvas.beginPixels();
    const int stride = canvas.stride();
    auto byte = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Color& c = at(x, y);
            const double a = clamp01(c.a);
            data[static_cast<std::size_t>(y) * stride + x] =
                byte(a) << 24 | byte(c.r * a) << 16 | byte(c.g * a) << 8 | byte(c.b * a);
        }
    }
    canvas.endPixels();
    return canvas;
}

} // namespace artwork
