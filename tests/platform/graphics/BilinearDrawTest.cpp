// Pictures drawn a little smaller or larger than their pixels, where Cairo's smooth filter
// interpolates bilinearly (a photograph cut to the print's square is one): the shortcut must
// give Cairo's bytes exactly, so that prints stay what they were.
#include "PixelHelpers.h"
#include "platform/graphics/FastDraw.h"
#include "platform/graphics/ImageContext.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::AffineTransform;
using platform::BlendMode;
using platform::Image;
using platform::ImageContext;
using platform::ImageRef;
using platform::Rect;

// Odd sides, colours that change from pixel to pixel, and every kind of alpha, opaque and
// transparent included, so that any pixel taken from the wrong place or weighed wrongly shows.
ImageRef picture(int width, int height, bool opaque) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = opaque ? 255 : (x * 7 + y * 13) % 5 == 0 ? 0 : 255 - (x + y * 3) % 200;
            auto c = [a](int v) { return v % 256 * a / 255; };
            px.push_back(testing_pixels::pack(c(x * 37 + y), c(y * 53 + x * 3), c(x * y + 90), a));
        }
    return Image::fromPixels(width, height, px);
}

enum class Backdrop { Blank, Opaque, Mixed };

struct Placement {
    std::string name;
    int side;  // of the square surface
    Rect rect; // where the picture is drawn
    AffineTransform ctm;
    bool upright = false; // drawn as shown (drawImageUpright) rather than as stored
    Rect clip{};          // empty: none
};

ImageRef draw(const Placement& p, const Image& source, BlendMode mode, Backdrop backdrop,
              bool fast) {
    ImageContext context(p.side, p.side);
    context.setUsesFastPaths(fast);
    if (backdrop == Backdrop::Opaque) {
        context.setRGBFillColor(0.84, 0.75, 0.57, 1);
        context.fillRect({0, 0, double(p.side), double(p.side)});
    } else if (backdrop == Backdrop::Mixed) {
        context.drawImage({0, 0, double(p.side), double(p.side)}, *picture(p.side, p.side, false));
    }
    if (!p.clip.isEmpty())
        context.clipToRect(p.clip);
    context.concatCTM(p.ctm);
    context.setBlendMode(mode);
    if (p.upright)
        context.drawImageUpright(p.rect, source);
    else
        context.drawImage(p.rect, source);
    return context.makeImage();
}

std::string firstDifference(const Image& fast, const Image& cairo) {
    for (int y = 0; y < fast.pixelHeight(); ++y)
        for (int x = 0; x < fast.pixelWidth(); ++x)
            if (fast.pixel(x, y) != cairo.pixel(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): shortcut %08x, Cairo %08x", x, y,
                              fast.pixel(x, y), cairo.pixel(x, y));
                return text;
            }
    return {};
}

// Whether the shortcut takes the draw itself rather than leaving it to Cairo.
bool shortcutTakes(const Placement& p, const Image& source, BlendMode mode) {
    ImageContext context(p.side, p.side);
    context.concatCTM(p.ctm);
    cairo_t* cr = context.cairo();
    platform::DrawTarget target{cr, cairo_get_target(cr), context.ctm(), mode, 1};
    const double sx = source.pixelWidth() / p.rect.width();
    const double sy = source.pixelHeight() / p.rect.height();
    // First stored row at the top when drawn as shown, at the bottom when drawn as stored.
    const AffineTransform userToPixel =
        p.upright ? AffineTransform{sx, 0, 0, sy, -p.rect.x() * sx, -p.rect.y() * sy}
                  : AffineTransform{sx, 0, 0, -sy, -p.rect.x() * sx, p.rect.maxY() * sy};
    return platform::FastDraw().drawImage(target, p.rect, userToPixel, source);
}

// A photograph's square as the library cuts it: its shorter side scaled to the square's,
// centred, stored mirrored; and as the upright way makes it, in a flipped space.
std::vector<Placement> squares(int width, int height, int side) {
    const std::string name =
        std::to_string(width) + "x" + std::to_string(height) + " to " + std::to_string(side);
    Rect cut;
    if (width >= height) {
        const double e = double(width) * side / height;
        cut = {(side - e) * 0.5, 0, e, double(side)};
    } else {
        const double e = double(height) * side / width;
        cut = {0, (side - e) * 0.5, double(side), e};
    }
    return {{"square " + name, side, cut, {}},
            {"upright square " + name, side, cut,
             AffineTransform::makeTranslation(0, side).scaled(1, -1), true}};
}

TEST(BilinearDraw, ScaledDrawsGiveCairosBytesExactly) {
    // The shortcut draws only where the picture covers whole device pixels: every edge lies
    // on a pixel boundary or beyond the surface.
    std::vector<Placement> placements = {
        {"enlarged three times, overhanging", 80, {-7.5, -3.25, 97 * 3.3, 61 * 3.3}, {}},
        {"a tenth smaller, a fraction off", 40, {-3.37, -1.6, 97 / 1.1, 61 / 1.1}, {}},
        {"stretched across only", 70, {0, 0, 97 * 0.8, 61}, {}},
        {"a half-pixel move", 50, {-0.5, -0.25, 97, 61}, {}},
        {"in a clipped corner", 90, {3, 5, 80, 50}, {}, false, {10, 12, 40, 31}},
        {"drawn into a moved space",
         64,
         {0, 0, 97 / 1.2, 50},
         AffineTransform::makeTranslation(-12, 7).scaled(1, -1).translated(0, -60)},
    };
    for (const auto& extra :
         {squares(97, 61, 59), squares(97, 61, 50), squares(97, 61, 70), squares(61, 97, 50)})
        placements.insert(placements.end(), extra.begin(), extra.end());
    // Scales across the whole bilinear range and offsets of any fraction, where a rounding
    // step taken otherwise than Cairo takes it would move a sample by one weight step.
    for (int k = 0; k < 40; ++k) {
        const double sx = 0.76 + 0.0141 * k, sy = 1.32 - 0.0137 * ((k * 7) % 40);
        const double x = -0.013 * ((k * 11) % 77) - 0.5, y = -0.0171 * ((k * 13) % 59) - 0.25;
        placements.push_back({"scale " + std::to_string(sx) + " by " + std::to_string(sy), 40,
                              Rect{x, y, 97 / sx, 61 / sy}, AffineTransform{}});
    }
    for (const bool opaque : {true, false}) {
        const ImageRef source = picture(97, 61, opaque);
        const ImageRef tall = picture(61, 97, opaque);
        for (const Placement& p : placements) {
            const Image& pic = p.name.find("61x97") != std::string::npos ? *tall : *source;
            for (BlendMode mode : {BlendMode::Normal, BlendMode::Copy}) {
                EXPECT_TRUE(shortcutTakes(p, pic, mode)) << p.name;
                for (Backdrop backdrop : {Backdrop::Blank, Backdrop::Opaque, Backdrop::Mixed}) {
                    const std::string difference = firstDifference(
                        *draw(p, pic, mode, backdrop, true), *draw(p, pic, mode, backdrop, false));
                    EXPECT_EQ(difference, "")
                        << p.name << ", mode " << int(mode) << ", backdrop " << int(backdrop)
                        << (opaque ? ", opaque" : ", with alpha");
                }
            }
        }
    }
}

TEST(BilinearDraw, DrawsCairoSamplesAnyOtherWayStayCairos) {
    const ImageRef source = picture(97, 61, false);
    const std::vector<std::pair<Placement, BlendMode>> others = {
        {{"mirrored across",
          80,
          {0, 0, 97 / 1.1, 61 / 1.1},
          AffineTransform::makeTranslation(80, 0).scaled(-1, 1)},
         BlendMode::Normal},
        {{"turned a little", 80, {0, 0, 97 / 1.1, 61 / 1.1}, AffineTransform::makeRotation(0.1)},
         BlendMode::Normal},
        // Cairo treats a scale this close to one as a whole-pixel move and samples nearest.
        {{"a ten-thousandth smaller", 80, {0, 0, 97 / 1.0001, 61 / 1.0001}, {}}, BlendMode::Normal},
        // Other modes go through the pixel library's general loops, which round otherwise.
        {{"under screen", 80, {0, 0, 97 / 1.1, 61 / 1.1}, {}}, BlendMode::Screen},
    };
    for (const auto& [p, mode] : others) {
        EXPECT_FALSE(shortcutTakes(p, *source, mode)) << p.name;
        EXPECT_EQ(firstDifference(*draw(p, *source, mode, Backdrop::Mixed, true),
                                  *draw(p, *source, mode, Backdrop::Mixed, false)),
                  "")
            << p.name;
    }
}

} // namespace
