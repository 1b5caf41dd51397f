// Every shortcut the drawing surface takes, against Cairo's own result for the same step on
// the same pixels: a grid of backdrops (opaque, partly and wholly transparent) under each mode,
// with each kind of fill colour or picture.
#include "PixelHelpers.h"
#include "platform/graphics/BlendTables.h"
#include "platform/graphics/FastDraw.h"
#include "platform/graphics/ImageContext.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::AffineTransform;
using platform::BlendMode;
using platform::FastDraw;
using platform::GridColor;
using platform::Image;
using platform::ImageContext;
using platform::ImageRef;
using platform::Rect;

constexpr int kWidth = 96;
constexpr int kHeight = 64; // 6144 pixels: above the size where fills take the shortcut

std::uint32_t premultiplied(double r, double g, double b, double a) {
    auto c = [a](double v) { return int(std::lround(v * a * 255)); };
    return testing_pixels::pack(c(r), c(g), c(b), int(std::lround(a * 255)));
}

// Straight colours on a grid that includes both sides of one half (where overlay and hard
// light switch formulas), greys, primaries and the extremes; under several alphas, opaque
// and transparent included; seed varies the order so pictures and backdrops differ.
ImageRef colourGrid(int seed, bool opaque = false) {
    const double levels[] = {0, 0.1, 0.25, 0.498, 0.502, 0.75, 0.9, 1};
    const double someAlphas[] = {1, 1, 1, 0.75, 0.5, 0.2, 1.0 / 255, 0};
    const double noAlphas[] = {1, 1, 1, 1, 1, 1, 1, 1};
    const double* alphas = opaque ? noAlphas : someAlphas;
    std::vector<std::uint32_t> px;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const int k = (i * 37 + seed * 101) % 4096;
        px.push_back(premultiplied(levels[k % 8], levels[k / 8 % 8], levels[k / 64 % 8],
                                   alphas[(k / 512 + seed) % 8]));
    }
    return Image::fromPixels(kWidth, kHeight, px);
}

// A context holding the backdrop exactly as given (Cairo alone puts it there).
std::unique_ptr<ImageContext> contextWith(const Image& backdrop) {
    auto context = std::make_unique<ImageContext>(backdrop.pixelWidth(), backdrop.pixelHeight());
    context->setUsesFastPaths(false);
    context->setBlendMode(BlendMode::Copy);
    context->scaleCTM(1, -1);
    context->translateCTM(0, -backdrop.pixelHeight());
    context->drawImage({0, 0, double(backdrop.pixelWidth()), double(backdrop.pixelHeight())},
                       backdrop);
    context->scaleCTM(1, -1);
    context->translateCTM(0, -backdrop.pixelHeight());
    return context;
}

platform::DrawTarget targetOf(ImageContext& context, BlendMode mode) {
    platform::DrawTarget target;
    target.cr = context.cairo();
    target.surface = cairo_get_target(target.cr);
    target.ctm = context.ctm();
    target.mode = mode;
    return target;
}

// Largest difference in any channel of any pixel, in 8-bit steps.
int largestDifference(const Image& a, const Image& b, std::string& where) {
    int worst = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const std::uint32_t p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = std::abs(int(p >> shift & 0xff) - int(q >> shift & 0xff));
                if (d > worst) {
                    worst = d;
                    char text[96];
                    std::snprintf(text, sizeof text, "at (%d, %d): fast %08x, Cairo %08x", x, y, p,
                                  q);
                    where = text;
                }
            }
        }
    return worst;
}

const std::vector<std::array<double, 4>> kFillColours = {
    {1, 1, 1, 0.3},        {0.67, 0.77, 1, 0.7},  {0.77, 0.77, 0.77, 1}, {0.47, 0.54, 0.69, 0.7},
    {1, 0, 0, 1},          {0.5, 0, 0, 1},        {0, 0, 0, 1},          {1, 1, 1, 1},
    {0.2, 0.9, 0.4, 0.45}, {0.5, 0.5, 0.5, 0.01}, {0.84, 0.75, 0.57, 1}};

TEST(FastFill, EveryBlendModeMatchesCairoOnEveryBackdrop) {
    const ImageRef backdrop = colourGrid(0);
    const Rect whole(0, 0, kWidth, kHeight);
    for (BlendMode mode :
         {BlendMode::Multiply, BlendMode::Screen, BlendMode::Overlay, BlendMode::Darken,
          BlendMode::Lighten, BlendMode::ColorDodge, BlendMode::ColorBurn, BlendMode::SoftLight,
          BlendMode::HardLight, BlendMode::Difference, BlendMode::Exclusion, BlendMode::Hue,
          BlendMode::Saturation, BlendMode::Color, BlendMode::Luminosity}) {
        for (const auto& colour : kFillColours) {
            const std::string step = "mode " + std::to_string(int(mode)) + " colour " +
                                     std::to_string(colour[0]) + "," + std::to_string(colour[1]) +
                                     "," + std::to_string(colour[2]) + "," +
                                     std::to_string(colour[3]);
            auto fast = contextWith(*backdrop);
            FastDraw shortcut;
            const auto target = targetOf(*fast, mode);
            ASSERT_TRUE(shortcut.fillRect(target, whole, GridColor::forFill(colour.data(), 1)))
                << step;
            shortcut.flush(target.surface);
            auto slow = contextWith(*backdrop);
            slow->setBlendMode(mode);
            slow->setRGBFillColor(colour[0], colour[1], colour[2], colour[3]);
            slow->fillRect(whole);
            std::string where;
            EXPECT_LE(largestDifference(*fast->makeImage(), *slow->makeImage(), where), 1)
                << step << " " << where;
        }
    }
}

TEST(FastFill, RunsOfFillsPaintedInOnePassMatchCairoStepByStep) {
    const ImageRef backdrop = colourGrid(2);
    struct Fill {
        BlendMode mode;
        std::array<double, 4> colour;
    };
    const std::vector<std::vector<Fill>> runs = {
        // The burn tint's and the toned looks' lift and burn.
        {{BlendMode::Overlay, {1, 1, 1, 0.3}}, {BlendMode::ColorBurn, {0.67, 0.77, 1, 0.7}}},
        {{BlendMode::Overlay, {1, 1, 1, 0.3}}, {BlendMode::ColorBurn, {0.77, 0.77, 0.77, 1}}},
        // A lift, then a hue fill that takes the lift into its own pass.
        {{BlendMode::Overlay, {1, 1, 1, 0.1}}, {BlendMode::Hue, {1, 0, 0, 1}}},
        {{BlendMode::Screen, {0.2, 0.9, 0.4, 0.45}},
         {BlendMode::Multiply, {0.5, 0.5, 0.5, 0.01}},
         {BlendMode::HardLight, {0.47, 0.54, 0.69, 0.7}},
         {BlendMode::Luminosity, {0.84, 0.75, 0.57, 1}}},
    };
    for (const auto& run : runs) {
        auto paint = [&](bool fast) {
            auto context = contextWith(*backdrop);
            context->setUsesFastPaths(fast);
            for (const Fill& fill : run) {
                context->setBlendMode(fill.mode);
                context->setRGBFillColor(fill.colour[0], fill.colour[1], fill.colour[2],
                                         fill.colour[3]);
                context->fillRect({0, 0, kWidth, kHeight});
            }
            return context->makeImage();
        };
        std::string where;
        EXPECT_LE(largestDifference(*paint(true), *paint(false), where), 1)
            << "a run of " << run.size() << " fills, first mode " << int(run.front().mode) << " "
            << where;
    }
}

TEST(FastFill, FillsHeldBackArePaintedBeforeAnythingElseTouchesThePixels) {
    const ImageRef picture = colourGrid(4);
    auto paint = [&](bool fast) {
        ImageContext context(kWidth, kHeight);
        context.setUsesFastPaths(fast);
        context.drawImage({0, 0, kWidth, kHeight}, *picture);
        context.setBlendMode(BlendMode::Overlay);
        context.setRGBFillColor(1, 1, 1, 0.3);
        context.fillRect({0, 0, kWidth, kHeight});
        // A draw, a fill Cairo paints, and text, each after a fill that was held back.
        context.setBlendMode(BlendMode::Normal);
        context.drawImage({10, 10, kWidth, kHeight}, *picture);
        context.setBlendMode(BlendMode::ColorBurn);
        context.setRGBFillColor(0.77, 0.77, 0.77, 1);
        context.fillRect({0, 0, kWidth, kHeight});
        context.setBlendMode(BlendMode::Darken);
        context.setRGBFillColor(0.2, 0.3, 0.4, 1);
        context.fillRect({0.5, 0, 30, 30});
        context.setBlendMode(BlendMode::Screen);
        context.setRGBFillColor(0.2, 0.3, 0.4, 0.5);
        context.fillRect({0, 0, kWidth, kHeight});
        context.setBlendMode(BlendMode::Normal);
        context.setRGBFillColor(0, 0, 0, 1);
        context.selectFont("Sans", 12);
        context.showTextAtPoint({40, 40}, "Ag");
        return context.makeImage();
    };
    std::string where;
    EXPECT_LE(largestDifference(*paint(true), *paint(false), where), 1) << where;
}

TEST(FastFill, APictureTakenFromAContextNeverChangesAfterwards) {
    ImageContext context(kWidth, kHeight);
    context.setRGBFillColor(0.2, 0.4, 0.6, 1);
    context.fillRect({0, 0, kWidth, kHeight});
    const ImageRef first = context.makeImage();
    const std::uint32_t before = first->pixel(5, 5);
    context.setBlendMode(BlendMode::Overlay);
    context.setRGBFillColor(1, 1, 1, 0.3);
    context.fillRect({0, 0, kWidth, kHeight});
    context.setBlendMode(BlendMode::Normal);
    context.drawImage({0, 0, kWidth, kHeight}, *colourGrid(1));
    const ImageRef second = context.makeImage();
    EXPECT_EQ(first->pixel(5, 5), before);
    EXPECT_NE(second->pixel(5, 5), before);
    // Drawing a context's own picture back into it reads the picture as it was taken.
    context.setBlendMode(BlendMode::Copy);
    context.drawImage({0, 0, kWidth, kHeight}, *first);
    EXPECT_EQ(context.makeImage()->pixel(5, 5), before);
    EXPECT_EQ(first->pixel(5, 5), before);
}

TEST(FastFill, ALookRunAsOnePassStaysWithinAStepAPassOfCairo) {
    // A toned look's steps: base colour, the picture's lightness over it, lift and burn.
    std::vector<std::uint32_t> px;
    for (int i = 0; i < kWidth * kHeight; ++i)
        px.push_back(premultiplied((i % 97) / 96.0, (i % 89) / 88.0, (i % 83) / 82.0, 1));
    const ImageRef picture = Image::fromPixels(kWidth, kHeight, px);
    auto look = [&](bool fast) {
        ImageContext context(kWidth, kHeight);
        context.setUsesFastPaths(fast);
        context.setRGBFillColor(0.84, 0.75, 0.57, 1);
        context.fillRect({0, 0, kWidth, kHeight});
        context.setBlendMode(BlendMode::Luminosity);
        context.drawImage({0, 0, kWidth, kHeight}, *picture);
        context.setBlendMode(BlendMode::Overlay);
        context.setRGBFillColor(1, 1, 1, 0.3);
        context.fillRect({0, 0, kWidth, kHeight});
        context.setBlendMode(BlendMode::ColorBurn);
        context.setRGBFillColor(0.77, 0.77, 0.77, 1);
        context.fillRect({0, 0, kWidth, kHeight});
        return context.makeImage();
    };
    std::string where;
    EXPECT_LE(largestDifference(*look(true), *look(false), where), 3) << where;
}

TEST(FastFill, PartOfTheSurfaceUnderAClipAndATransformStaysInsideBoth) {
    const ImageRef backdrop = colourGrid(3);
    auto run = [&](bool fast) {
        auto context = contextWith(*backdrop);
        context->setUsesFastPaths(fast);
        context->translateCTM(10, 4);
        context->scaleCTM(2, 1);
        context->clipToRect({0, 0, 40, 50}); // device x 10..90, y 4..54
        context->setBlendMode(BlendMode::ColorBurn);
        context->setRGBFillColor(0.77, 0.77, 0.77, 1);
        context->fillRect({-5, 2, 100, 100}); // device from x 0, y 6
        return context->makeImage();
    };
    const ImageRef fast = run(true), slow = run(false);
    std::string where;
    EXPECT_LE(largestDifference(*fast, *slow, where), 1) << where;
    // Outside the clip the backdrop is untouched.
    EXPECT_EQ(fast->pixel(5, 20), slow->pixel(5, 20));
    EXPECT_EQ(fast->pixel(50, 2), slow->pixel(50, 2));
}

// Where a fill's tables are replaced by arithmetic, the arithmetic must give their bytes: it is
// offered for the modes it exists for on every colour tried, and for no other mode.
TEST(FastFill, ArithmeticStandsInForTablesOnlyWhereItGivesTheirBytes) {
    const std::vector<std::array<double, 4>> colours = {{1, 1, 1, 0.1},
                                                        {1, 1, 1, 0.3},
                                                        {0.47, 0.54, 0.69, 0.7},
                                                        {0.2, 0.9, 0.4, 0.45},
                                                        {0, 0, 0, 1}};
    for (const auto& colour : colours) {
        const GridColor grid = GridColor::forFill(colour.data(), 1);
        for (BlendMode mode : {BlendMode::Screen, BlendMode::Overlay, BlendMode::HardLight}) {
            const auto tables = platform::BlendTables::make(mode, grid);
            ASSERT_TRUE(tables);
            EXPECT_TRUE(tables->formula()) << int(mode) << " " << colour[3];
        }
        const auto burn = platform::BlendTables::make(BlendMode::ColorBurn, grid);
        ASSERT_TRUE(burn);
        EXPECT_FALSE(burn->formula());
    }
}

TEST(FastFill, StepsTheShortcutCannotDrawExactlyAreLeftToCairo) {
    const ImageRef backdrop = colourGrid(1);
    const double colour[4] = {0.67, 0.77, 1, 0.7};
    const GridColor grid = GridColor::forFill(colour, 1);
    const Rect whole(0, 0, kWidth, kHeight);
    {
        auto context = contextWith(*backdrop);
        EXPECT_FALSE(FastDraw().fillRect(targetOf(*context, BlendMode::Overlay),
                                         {0.5, 0, kWidth, kHeight}, grid))
            << "edges through pixels";
    }
    {
        auto context = contextWith(*backdrop);
        context->rotateCTM(0.3);
        EXPECT_FALSE(FastDraw().fillRect(targetOf(*context, BlendMode::Overlay), whole, grid))
            << "a turned rectangle";
    }
    {
        auto context = contextWith(*backdrop);
        cairo_t* cr = context->cairo();
        cairo_arc(cr, 40, 30, 20, 0, 7);
        cairo_clip(cr);
        EXPECT_FALSE(FastDraw().fillRect(targetOf(*context, BlendMode::Overlay), whole, grid))
            << "a round clip";
        cairo_reset_clip(cr);
        cairo_push_group(cr);
        EXPECT_FALSE(FastDraw().fillRect(targetOf(*context, BlendMode::Overlay), whole, grid))
            << "drawing into a group";
        cairo_pattern_destroy(cairo_pop_group(cr));
    }
    {
        auto context = contextWith(*backdrop);
        EXPECT_FALSE(
            FastDraw().fillRect(targetOf(*context, BlendMode::Overlay), {0, 0, 8, 8}, grid))
            << "a fill too small to pay for its tables";
    }
}

// The draws the shortcut takes over: 1:1, flipped either way, turned, under each mode.
const std::vector<std::pair<std::string, AffineTransform>> kExactPlacements = {
    {"as is", {}},
    {"upside down", {1, 0, 0, -1, 0, kHeight}},
    {"mirrored", {-1, 0, 0, 1, kWidth, 0}},
};

TEST(FastDraw, PixelForPixelDrawsMatchCairoUnderEveryModeTheyTake) {
    // Mixed backdrops, and opaque ones (as under a film frame) whose runs take the byte loops.
    for (const bool opaqueBackdrop : {false, true}) {
        const ImageRef backdrop = colourGrid(0, opaqueBackdrop);
        const ImageRef picture = colourGrid(5);
        for (BlendMode mode :
             {BlendMode::Normal, BlendMode::Copy, BlendMode::SourceAtop, BlendMode::Screen,
              BlendMode::Overlay, BlendMode::HardLight, BlendMode::Hue, BlendMode::Saturation,
              BlendMode::Color, BlendMode::Luminosity}) {
            for (const auto& [name, ctm] : kExactPlacements) {
                const std::string step = "mode " + std::to_string(int(mode)) + ", " + name;
                auto drawWith = [&](bool fast) {
                    auto context = contextWith(*backdrop);
                    context->setUsesFastPaths(fast);
                    context->concatCTM(ctm);
                    context->setBlendMode(mode);
                    context->drawImage({0, 0, kWidth, kHeight}, *picture);
                    return context->makeImage();
                };
                auto probe = contextWith(*backdrop);
                probe->concatCTM(ctm);
                const AffineTransform userToPixel{1, 0, 0, -1, 0, kHeight};
                EXPECT_TRUE(FastDraw().drawImage(targetOf(*probe, mode), {0, 0, kWidth, kHeight},
                                                 userToPixel, *picture))
                    << step;
                std::string where;
                EXPECT_LE(largestDifference(*drawWith(true), *drawWith(false), where), 1)
                    << step << (opaqueBackdrop ? " over opaque " : " ") << where;
            }
        }
    }
}

TEST(FastDraw, QuarterTurnedDrawsAndDrawsOntoABlankContextMatchCairo) {
    const int side = 64;
    std::vector<std::uint32_t> px;
    for (int i = 0; i < side * side; ++i)
        px.push_back(premultiplied((i % side) / 63.0, (i / side) / 63.0, 0.5, i % 5 ? 1 : 0.5));
    const ImageRef picture = Image::fromPixels(side, side, px);
    // The camera's turn: a quarter turn and a mirror, by a hair less than 3π/2.
    auto draw = [&](bool fast, bool blank, BlendMode mode) {
        ImageContext context(side, side);
        context.setUsesFastPaths(fast);
        if (!blank) {
            context.setRGBFillColor(0.2, 0.4, 0.6, 1);
            context.fillRect({0, 0, side, side});
        }
        const AffineTransform turn =
            AffineTransform::makeTranslation(side, side).scaled(-1, 1).rotated(4.712389);
        context.scaleCTM(-1, 1);
        context.translateCTM(-side, 0);
        context.concatCTM(turn);
        context.setBlendMode(mode);
        context.drawImage({0, 0, side, side}, *picture);
        return context.makeImage();
    };
    for (const bool blank : {true, false})
        for (BlendMode mode : {BlendMode::Normal, BlendMode::Luminosity}) {
            std::string where;
            EXPECT_LE(largestDifference(*draw(true, blank, mode), *draw(false, blank, mode), where),
                      1)
                << (blank ? "blank " : "filled ") << int(mode) << " " << where;
        }
}

TEST(FastDraw, EveryQuarterTurnLandsEachPixelWhereCairoDoes) {
    // Sides that are no multiple of the blocks the turn is done in, a backdrop that is not
    // blank, and a picture that overhangs the surface.
    const int width = 75, height = 53;
    std::vector<std::uint32_t> px;
    for (int i = 0; i < width * height; ++i)
        px.push_back(premultiplied((i % width) / 74.0, (i / width) / 52.0, (i % 7) / 6.0, 1));
    const ImageRef picture = Image::fromPixels(width, height, px);
    const double quarter = 1.5707963267948966;
    const std::vector<AffineTransform> turns = {
        AffineTransform::makeTranslation(height, 0).rotated(quarter),
        AffineTransform::makeTranslation(0, width).rotated(-quarter),
        AffineTransform::makeTranslation(height, width).rotated(quarter).scaled(-1, 1),
        AffineTransform::makeTranslation(3, -4).rotated(-quarter).scaled(1, -1),
    };
    for (std::size_t t = 0; t < turns.size(); ++t)
        for (BlendMode mode : {BlendMode::Normal, BlendMode::Screen}) {
            auto draw = [&](bool fast) {
                ImageContext context(height + 5, width + 3);
                context.setUsesFastPaths(fast);
                context.setRGBFillColor(0.1, 0.6, 0.3, 1);
                context.fillRect({0, 0, double(height + 5), double(width + 3)});
                context.concatCTM(turns[t]);
                context.setBlendMode(mode);
                context.drawImage({0, 0, double(width), double(height)}, *picture);
                return context.makeImage();
            };
            std::string where;
            EXPECT_EQ(largestDifference(*draw(true), *draw(false), where), 0)
                << "turn " << t << " mode " << int(mode) << " " << where;
        }
}

TEST(FastDraw, ASecondDrawJoiningTheFirstOnesPassGivesTheBytesOfTwoPasses) {
    // A look's draw and fills, then a film frame over them under each frame's mode: run row by
    // row in one pass, they must give what they give one after the other, transparent and
    // partly transparent pixels (which go to Cairo) included.
    const ImageRef look = colourGrid(3);
    const ImageRef frame = colourGrid(7);
    for (BlendMode frameMode :
         {BlendMode::SourceAtop, BlendMode::Screen, BlendMode::HardLight, BlendMode::Normal}) {
        auto print = [&](bool fast, bool apart) {
            ImageContext context(kWidth, kHeight);
            context.setUsesFastPaths(fast);
            context.drawImage({0, 0, kWidth, kHeight}, *look);
            context.setBlendMode(BlendMode::Overlay);
            context.setRGBFillColor(1, 1, 1, 0.3);
            context.fillRect({0, 0, kWidth, kHeight});
            context.setBlendMode(BlendMode::ColorBurn);
            context.setRGBFillColor(0.67, 0.77, 1, 0.7);
            context.fillRect({0, 0, kWidth, kHeight});
            if (apart)
                context.cairo(); // everything held back is written before the frame
            context.scaleCTM(1, -1);
            context.translateCTM(0, -kHeight);
            context.setBlendMode(frameMode);
            context.drawImage({0, 0, kWidth, kHeight}, *frame);
            return context.makeImage();
        };
        std::string where;
        EXPECT_EQ(largestDifference(*print(true, false), *print(true, true), where), 0)
            << "frame mode " << int(frameMode) << " " << where;
        EXPECT_LE(largestDifference(*print(true, false), *print(false, false), where), 1)
            << "frame mode " << int(frameMode) << " " << where;
    }
}

TEST(FastDraw, AFrameLeavesItsClearWindowUnreadAndTheRestAsCairoDrawsIt) {
    // A border round a clear window that narrows row by row, so that a row's window taken for
    // another row's would leave border unblended; two clear runs on some rows, the longer one
    // the window.
    std::vector<std::uint32_t> px(std::size_t(kWidth) * kHeight);
    const ImageRef grid = colourGrid(9, true);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool window = y >= 6 && y < kHeight - 6 && x >= 4 + y / 2 && x < kWidth - 8;
            const bool gap = y % 5 == 0 && x >= 1 && x < 3;
            px[std::size_t(y) * kWidth + x] = window || gap ? 0u : grid->pixel(x, y);
        }
    const ImageRef frame = Image::fromPixels(kWidth, kHeight, px);
    const ImageRef backdrop = colourGrid(2);
    for (BlendMode mode :
         {BlendMode::SourceAtop, BlendMode::Screen, BlendMode::Overlay, BlendMode::HardLight}) {
        for (const auto& [name, ctm] : kExactPlacements) {
            auto drawWith = [&](bool fast, BlendMode drawnIn) {
                auto context = contextWith(*backdrop);
                context->setUsesFastPaths(fast);
                context->concatCTM(ctm);
                context->setBlendMode(drawnIn);
                context->drawImage({0, 0, kWidth, kHeight}, *frame);
                return context->makeImage();
            };
            const ImageRef fast = drawWith(true, mode);
            const std::string step = "mode " + std::to_string(int(mode)) + ", " + name;
            std::string where;
            EXPECT_LE(largestDifference(*fast, *drawWith(false, mode), where), 1)
                << step << " " << where;
            // Where the frame is clear (where a copy of it puts nothing) the backdrop is as
            // it was, to the bit.
            const ImageRef before = contextWith(*backdrop)->makeImage();
            const ImageRef copied = drawWith(false, BlendMode::Copy);
            int unchanged = 0, clear = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    if (copied->pixel(x, y) != 0)
                        continue;
                    ++clear;
                    unchanged += fast->pixel(x, y) == before->pixel(x, y);
                }
            EXPECT_GT(clear, kWidth * kHeight / 3) << step;
            EXPECT_EQ(unchanged, clear) << step;
        }
    }
}

TEST(FastDraw, DrawsThatNeedResamplingOrFadingAreLeftToCairo) {
    const ImageRef picture = colourGrid(2);
    auto context = contextWith(*colourGrid(0));
    const AffineTransform userToPixel{1, 0, 0, -1, 0, kHeight};
    auto target = targetOf(*context, BlendMode::Normal);
    // Drawn normally it is Cairo's bilinear interpolation, restated exactly (BilinearDrawTest).
    const AffineTransform enlarging{1 / 1.1, 0, 0, -1, 0, kHeight};
    target.mode = BlendMode::Screen;
    EXPECT_FALSE(FastDraw().drawImage(target, {0, 0, kWidth * 1.1, kHeight}, enlarging, *picture))
        << "an enlargement under a blend mode";
    target.mode = BlendMode::Normal;
    // An edge beyond the surface may lie anywhere: no pixel it cuts is drawn.
    EXPECT_TRUE(FastDraw().drawImage(target, {0, 0, kWidth + 0.5, kHeight}, userToPixel, *picture))
        << "a fractional edge off the surface";
    EXPECT_FALSE(FastDraw().drawImage(target, {0.5, 0, kWidth, kHeight}, userToPixel, *picture))
        << "half-pixel placement";
    target.alpha = 0.5;
    EXPECT_FALSE(FastDraw().drawImage(target, {0, 0, kWidth, kHeight}, userToPixel, *picture))
        << "a constant alpha";
    target.alpha = 1;
    target.mode = BlendMode::ColorDodge;
    EXPECT_FALSE(FastDraw().drawImage(target, {0, 0, kWidth, kHeight}, userToPixel, *picture))
        << "a mode without a row loop";
}

} // namespace
