#pragma once

// The PDF blend modes worked in doubles straight from their formulas, with no rounding and
// no shortcuts: what the drawing surface and the film looks are held to. Colours are
// straight (not premultiplied), 0 to 1.

#include "platform/graphics/BlendMode.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace blendmodel {

using Rgb = std::array<double, 3>;

inline double lum(const Rgb& c) {
    return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
}

inline Rgb clipColor(Rgb c) {
    const double l = lum(c);
    const double n = std::min({c[0], c[1], c[2]});
    const double x = std::max({c[0], c[1], c[2]});
    for (double& v : c) {
        if (n < 0)
            v = l + (v - l) * l / (l - n);
        if (x > 1)
            v = l + (v - l) * (1 - l) / (x - l);
    }
    return c;
}

inline Rgb setLum(const Rgb& c, double l) {
    const double d = l - lum(c);
    return clipColor({c[0] + d, c[1] + d, c[2] + d});
}

inline double sat(const Rgb& c) {
    return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
}

inline Rgb setSat(Rgb c, double s) {
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int a, int b) { return c[a] < c[b]; });
    double& cmin = c[order[0]];
    double& cmid = c[order[1]];
    double& cmax = c[order[2]];
    if (cmax > cmin) {
        cmid = (cmid - cmin) * s / (cmax - cmin);
        cmax = s;
    } else {
        cmid = cmax = 0;
    }
    cmin = 0;
    return c;
}

// One channel under a separable mode: backdrop cb, source cs. Modes that do not blend
// colours (normal and the Porter-Duff operators) give the source.
inline double separable(platform::BlendMode mode, double cb, double cs) {
    using platform::BlendMode;
    auto hardLight = [](double b, double s) {
        return s <= 0.5 ? b * 2 * s : b + (2 * s - 1) - b * (2 * s - 1);
    };
    switch (mode) {
    case BlendMode::Multiply:
        return cb * cs;
    case BlendMode::Screen:
        return cb + cs - cb * cs;
    case BlendMode::Overlay:
        return hardLight(cs, cb);
    case BlendMode::Darken:
        return std::min(cb, cs);
    case BlendMode::Lighten:
        return std::max(cb, cs);
    case BlendMode::ColorDodge:
        return cb == 0 ? 0 : cs >= 1 ? 1 : std::min(1.0, cb / (1 - cs));
    case BlendMode::ColorBurn:
        return cb >= 1 ? 1 : cs <= 0 ? 0 : 1 - std::min(1.0, (1 - cb) / cs);
    case BlendMode::HardLight:
        return hardLight(cb, cs);
    case BlendMode::SoftLight: {
        if (cs <= 0.5)
            return cb - (1 - 2 * cs) * cb * (1 - cb);
        const double d = cb <= 0.25 ? ((16 * cb - 12) * cb + 4) * cb : std::sqrt(cb);
        return cb + (2 * cs - 1) * (d - cb);
    }
    case BlendMode::Difference:
        return std::abs(cb - cs);
    case BlendMode::Exclusion:
        return cb + cs - 2 * cb * cs;
    default:
        return cs;
    }
}

// B(cb, cs): the mixed colour a mode gives where both backdrop and source are opaque.
inline Rgb blend(platform::BlendMode mode, const Rgb& cb, const Rgb& cs) {
    using platform::BlendMode;
    switch (mode) {
    case BlendMode::Hue:
        return setLum(setSat(cs, sat(cb)), lum(cb));
    case BlendMode::Saturation:
        return setLum(setSat(cb, sat(cs)), lum(cb));
    case BlendMode::Color:
        return setLum(cs, lum(cb));
    case BlendMode::Luminosity:
        return setLum(cb, lum(cs));
    default:
        return {separable(mode, cb[0], cs[0]), separable(mode, cb[1], cs[1]),
                separable(mode, cb[2], cs[2])};
    }
}

} // namespace blendmodel
