#pragma once

#include "platform/graphics/BitmapView.h"

#include <cstdint>
#include <vector>

namespace platform {

// The rows of a picture drawn a quarter turn round: row j of the result is the picture's
// column u0 + du·j read from row v0 downwards (dv = 1) or upwards (dv = −1), width pixels
// long; du and dv are ±1. Read one pixel at a time such a row touches a new cache line and
// often a new page per pixel (camera stills are 8 KB a row), so bands of rows are turned
// together in 8 by 8 blocks, every picture row giving one contiguous run to the band.
// Coordinates outside the picture take its nearest edge pixel.
class TurnedRows {
public:
    TurnedRows(const ConstBitmapView& picture, int u0, int du, int v0, int dv, int width,
               int height);

    // Row j, 0 <= j < height, valid until the next call.
    const std::uint32_t* row(int j);

private:
    static constexpr int kBand = 16;

    void turnBand(int first, int rows);

    ConstBitmapView picture_;
    int u0_, du_, v0_, dv_, width_, height_;
    std::vector<std::uint32_t> band_;
    int bandStart_ = -1;
};

} // namespace platform
