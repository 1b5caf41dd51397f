#pragma once

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// One stored channel (0 blue … 3 alpha) of a premultiplied pixel.
inline int storedChannel(std::uint32_t argb, int c) {
    return static_cast<int>(argb >> (8 * c) & 0xFF);
}

// Channel `c` of a square `picture` shrunk to `side` pixels a side by weighing each pixel
// under a new one by the area it covers there: worked out pixel by pixel, slowly, as the
// definition says, to hold the fast code to.
inline std::vector<double> areaAverageReference(const platform::Image& picture, int side, int c) {
    const int w = picture.pixelWidth();
    const double step = static_cast<double>(w) / side;
    std::vector<double> out(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            double sum = 0;
            const int y1 = std::min(w, static_cast<int>(std::ceil((y + 1) * step)));
            const int x1 = std::min(w, static_cast<int>(std::ceil((x + 1) * step)));
            for (int sy = static_cast<int>(y * step); sy < y1; ++sy) {
                const double hy = std::min((y + 1) * step, sy + 1.0) - std::max(y * step, sy * 1.0);
                for (int sx = static_cast<int>(x * step); sx < x1; ++sx) {
                    const double hx =
                        std::min((x + 1) * step, sx + 1.0) - std::max(x * step, sx * 1.0);
                    if (hx > 0 && hy > 0)
                        sum += hx * hy * storedChannel(picture.pixel(sx, sy), c);
                }
            }
            out[static_cast<std::size_t>(y) * side + x] = sum / (step * step);
        }
    return out;
}

struct AreaDifference {
    double worst = 0;
    double mean = 0;
};

// How far the colour channels of `shown` lie from the reference reduction of `original` to
// the side of `shown`: the largest difference and the mean one; pixels inside `ignored`
// (something drawn over the picture) are left out.
inline AreaDifference differenceFromAreaAverage(const platform::Image& shown,
                                                const platform::Image& original,
                                                const platform::Rect& ignored = {}) {
    const int side = shown.pixelWidth();
    AreaDifference d;
    for (int c = 0; c < 3; ++c) {
        const auto expected = areaAverageReference(original, side, c);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                if (ignored.contains({x + 0.5, y + 0.5}))
                    continue;
                const double e = std::abs(storedChannel(shown.pixel(x, y), c) -
                                          expected[static_cast<std::size_t>(y) * side + x]);
                d.worst = std::max(d.worst, e);
                d.mean += e;
            }
    }
    d.mean /= 3.0 * side * side;
    return d;
}
