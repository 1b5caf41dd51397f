#include "PixelHelpers.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::BlendMode;
using testing_pixels::Rgba;
using Rgb = std::array<double, 3>;

// A plain floating-point model of the PDF blend modes and Porter-Duff operators, written from
// their formulas, against which the drawing surface is checked.
double lum(const Rgb& c) {
    return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
}

Rgb clipColor(Rgb c) {
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

Rgb setLum(const Rgb& c, double l) {
    const double d = l - lum(c);
    return clipColor({c[0] + d, c[1] + d, c[2] + d});
}

double sat(const Rgb& c) {
    return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
}

Rgb setSat(Rgb c, double s) {
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

double separable(BlendMode mode, double cb, double cs) {
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

Rgb blend(BlendMode mode, const Rgb& cb, const Rgb& cs) {
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

// Backdrop b and result premultiplied, source s straight (as a fill colour is given).
Rgba compositeBlend(BlendMode mode, const Rgba& b, const Rgba& s) {
    const double ab = b[3], as = s[3];
    const Rgb cb = ab > 0 ? Rgb{b[0] / ab, b[1] / ab, b[2] / ab} : Rgb{0, 0, 0};
    const Rgb cs = {s[0], s[1], s[2]};
    const Rgb mixed = blend(mode, cb, cs);
    Rgba r;
    for (int i = 0; i < 3; ++i)
        r[i] = (1 - ab) * as * cs[i] + (1 - as) * b[i] + as * ab * mixed[i];
    r[3] = as + ab - as * ab;
    return r;
}

Rgba compositePorterDuff(BlendMode mode, const Rgba& d, const Rgba& straight) {
    const Rgba s = {straight[0] * straight[3], straight[1] * straight[3], straight[2] * straight[3],
                    straight[3]};
    const double as = s[3], ad = d[3];
    std::function<double(double, double)> f;
    switch (mode) {
    case BlendMode::Clear:
        f = [](double, double) { return 0.0; };
        break;
    case BlendMode::Copy:
        f = [](double x, double) { return x; };
        break;
    case BlendMode::SourceIn:
        f = [&](double x, double) { return x * ad; };
        break;
    case BlendMode::SourceOut:
        f = [&](double x, double) { return x * (1 - ad); };
        break;
    case BlendMode::SourceAtop:
        f = [&](double x, double y) { return x * ad + y * (1 - as); };
        break;
    case BlendMode::DestinationOver:
        f = [&](double x, double y) { return x * (1 - ad) + y; };
        break;
    case BlendMode::DestinationIn:
        f = [&](double, double y) { return y * as; };
        break;
    case BlendMode::DestinationOut:
        f = [&](double, double y) { return y * (1 - as); };
        break;
    case BlendMode::DestinationAtop:
        f = [&](double x, double y) { return x * (1 - ad) + y * as; };
        break;
    case BlendMode::Xor:
        f = [&](double x, double y) { return x * (1 - ad) + y * (1 - as); };
        break;
    case BlendMode::PlusLighter:
        f = [](double x, double y) { return std::min(1.0, x + y); };
        break;
    default:
        f = [&](double x, double y) { return x + y * (1 - as); };
        break;
    }
    Rgba r;
    for (int i = 0; i < 4; ++i)
        r[i] = f(s[i], d[i]);
    return r;
}

const std::vector<Rgba> kBackdrops = {
    {0.2, 0.5, 0.9, 1}, {0.9, 0.1, 0.4, 1}, {0.5, 0.5, 0.5, 1},   {1, 1, 1, 1},
    {0, 0, 0, 1},       {0.8, 0.7, 0.1, 1}, {0.6, 0.3, 0.1, 0.5}, {0, 0, 0, 0},
};
const std::vector<Rgba> kSources = {
    {0.8, 0.6, 0.2, 1}, {0.1, 0.7, 0.9, 0.7}, {1, 1, 1, 0.3},        {0.5, 0, 0, 1},
    {0, 0, 0, 1},       {1, 1, 1, 1},         {0.3, 0.9, 0.5, 0.45},
};

// A straight colour as an 8-bit premultiplied surface can hold it. Colour dodge and burn are
// steep near their limits, so the reference must start from the same rounded source.
Rgba onEightBitGrid(const Rgba& c) {
    const double steps = std::round(c[3] * 255);
    if (steps == 0)
        return {0, 0, 0, 0};
    Rgba held;
    for (int i = 0; i < 3; ++i)
        held[i] = std::round(c[i] * c[3] * 255) / steps;
    held[3] = steps / 255;
    return held;
}

// Fills a backdrop, reads back what was stored (so 8-bit rounding of the backdrop is not
// counted against the mode), then fills the source under the mode over part of the surface.
void checkMode(BlendMode mode, bool separableOrHsl) {
    for (const Rgba& back : kBackdrops) {
        for (const Rgba& src : kSources) {
            platform::ImageContext ctx(4, 2);
            ctx.setRGBFillColor(back[0], back[1], back[2], back[3]);
            ctx.fillRect({0, 0, 4, 2});
            const Rgba stored = testing_pixels::unpack(ctx.makeImage()->pixel(0, 0));
            ctx.setBlendMode(mode);
            ctx.setRGBFillColor(src[0], src[1], src[2], src[3]);
            ctx.fillRect({0, 0, 2, 2});
            const auto image = ctx.makeImage();
            const Rgba got = testing_pixels::unpack(image->pixel(1, 1));
            const Rgba held = onEightBitGrid(src);
            const Rgba want = separableOrHsl ? compositeBlend(mode, stored, held)
                                             : compositePorterDuff(mode, stored, held);
            const std::string where = "mode " + std::to_string(int(mode)) + " backdrop " +
                                      std::to_string(back[0]) + "," + std::to_string(back[1]) +
                                      "," + std::to_string(back[2]) + "," +
                                      std::to_string(back[3]) + " source " +
                                      std::to_string(src[0]) + "," + std::to_string(src[1]) + "," +
                                      std::to_string(src[2]) + "," + std::to_string(src[3]);
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(got[i], want[i], 2.0 / 255) << where << " component " << i;
            // The platform's modes never reach outside the drawn shape.
            EXPECT_EQ(image->pixel(3, 1), image->pixel(3, 0)) << where;
            EXPECT_NEAR(testing_pixels::unpack(image->pixel(3, 1))[3], stored[3], 1e-9) << where;
        }
    }
}

TEST(BlendModes, SeparableModesFollowThePdfFormulas) {
    for (BlendMode mode :
         {BlendMode::Normal, BlendMode::Multiply, BlendMode::Screen, BlendMode::Overlay,
          BlendMode::Darken, BlendMode::Lighten, BlendMode::ColorDodge, BlendMode::ColorBurn,
          BlendMode::SoftLight, BlendMode::HardLight, BlendMode::Difference, BlendMode::Exclusion})
        checkMode(mode, true);
}

TEST(BlendModes, HueSaturationColorAndLuminosityFollowThePdfFormulas) {
    for (BlendMode mode :
         {BlendMode::Hue, BlendMode::Saturation, BlendMode::Color, BlendMode::Luminosity})
        checkMode(mode, true);
}

TEST(BlendModes, PorterDuffModesWorkOnPremultipliedColourInsideTheShapeOnly) {
    for (BlendMode mode : {BlendMode::Clear, BlendMode::Copy, BlendMode::SourceIn,
                           BlendMode::SourceOut, BlendMode::SourceAtop, BlendMode::DestinationOver,
                           BlendMode::DestinationIn, BlendMode::DestinationOut,
                           BlendMode::DestinationAtop, BlendMode::Xor, BlendMode::PlusLighter})
        checkMode(mode, false);
}

TEST(BlendModes, PlatformNumbersSelectTheirModesAndUnknownNumbersDrawNormally) {
    EXPECT_EQ(platform::blendModeFromNumber(2), BlendMode::Screen);
    EXPECT_EQ(platform::blendModeFromNumber(20), BlendMode::SourceAtop);
    EXPECT_EQ(platform::blendModeFromNumber(27), BlendMode::PlusLighter);
    EXPECT_EQ(platform::blendModeFromNumber(-1), BlendMode::Normal);
    EXPECT_EQ(platform::blendModeFromNumber(28), BlendMode::Normal);
}

} // namespace
