#pragma once

#include "Canvas.h"
#include "Paint.h"

#include <functional>
#include <vector>

namespace artwork {

// A picture computed pixel by pixel in straight (not premultiplied) floating-point colour,
// for the textures and light effects that paths and gradients cannot express.
class PixelBuffer {
public:
    PixelBuffer(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Color& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Color& at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

    // Sets every pixel from a function of its centre's coordinates, rows shared out over the
    // machine's cores. The function must be safe to call from several threads at once.
    void generate(const std::function<Color(double x, double y)>& pixel);

    // Premultiplies, rounds and packs the picture into a new canvas.
    Canvas toCanvas() const;

private:
    int width_;
    int height_;
    std::vector<Color> pixels_;
};

} // namespace artwork
