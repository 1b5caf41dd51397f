#include "PixelHelpers.h"
#include "platform/graphics/ImageContext.h"
#include "support/BlendModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using blendmodel::Rgb;
using platform::BlendMode;
using testing_pixels::Rgba;

// The surface is checked against plain floating-point models written from the formulas: the
// shared one for the blend modes, and the Porter-Duff operators below.

// Backdrop b and result premultiplied, source s straight (as a fill colour is given).
Rgba compositeBlend(BlendMode mode, const Rgba& b, const Rgba& s) {
    const double ab = b[3], as = s[3];
    const Rgb cb = ab > 0 ? Rgb{b[0] / ab, b[1] / ab, b[2] / ab} : Rgb{0, 0, 0};
    const Rgb cs = {s[0], s[1], s[2]};
    const Rgb mixed = blendmodel::blend(mode, cb, cs);
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
