#pragma once

#include <algorithm>
#include <cmath>

namespace platform {

// A fill colour as the 8-bit premultiplied source every fill actually paints with: Cairo
// truncates a solid colour to 8 bits on its way to pixman, and some modes (hard light) double
// that error, so colours are first put on the 8-bit grid, premultiplied values rounded to the
// nearest step. The fast paths and Cairo then start from exactly the same source.
struct GridColor {
    // Straight components for Cairo: each premultiplied component divided by alpha again.
    double red = 0, green = 0, blue = 0, alpha = 0;
    // The premultiplied 8-bit source pixel.
    unsigned premultipliedWord = 0;

    // components: straight red, green, blue, alpha from 0 to 1; constantAlpha multiplies alpha.
    static GridColor forFill(const double components[4], double constantAlpha) {
        GridColor c;
        const double a = components[3] * constantAlpha;
        const double steps = std::round(a * 255);
        if (!(steps > 0))
            return c;
        unsigned word = static_cast<unsigned>(steps) << 24;
        double* straight[3] = {&c.red, &c.green, &c.blue};
        for (int i = 0; i < 3; ++i) {
            const double premultiplied = std::min(steps, std::round(components[i] * a * 255));
            *straight[i] = premultiplied / steps;
            word |= static_cast<unsigned>(premultiplied) << (16 - 8 * i);
        }
        c.alpha = steps / 255;
        c.premultipliedWord = word;
        return c;
    }
};

} // namespace platform
