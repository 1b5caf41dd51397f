#include "platform/graphics/ImageContext.h"
#include "PixelHelpers.h"
#include "platform/graphics/FontResolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

using platform::ImageContext;
using platform::ImageRef;
using testing_pixels::pack;

// Every pixel different, so any misplaced pixel is seen: red counts columns, green rows.
ImageRef gradient(int width, int height) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            px.push_back(pack(x * 10, y * 10, 200));
    return platform::Image::fromPixels(width, height, px);
}

TEST(ImageContext, FreshContextIsTransparentAndFillsOpaqueBlack) {
    ImageContext ctx(3, 2);
    EXPECT_EQ(ctx.makeImage()->pixel(1, 1), 0u);
    EXPECT_EQ(ctx.blendMode(), platform::BlendMode::Normal);
    ctx.fillRect({0, 0, 1, 1});
    const auto image = ctx.makeImage();
    EXPECT_EQ(image->pixel(0, 0), pack(0, 0, 0));
    EXPECT_EQ(image->pixel(1, 0), 0u);
    EXPECT_EQ(image->pixelWidth(), 3);
    EXPECT_EQ(image->pixelHeight(), 2);
}

TEST(ImageContext, DrawnPictureIsUpsideDownUnlessTheSpaceIsFlipped) {
    const int w = 5, h = 4;
    const auto input = gradient(w, h);
    ImageContext raw(w, h);
    raw.drawImage({0, 0, double(w), double(h)}, *input);
    const auto reversed = raw.makeImage();

    ImageContext flipped(w, h);
    flipped.scaleCTM(1, -1);
    flipped.translateCTM(0, -h);
    flipped.drawImage({0, 0, double(w), double(h)}, *input);
    const auto upright = flipped.makeImage();

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A 1:1 draw must not blur: every pixel arrives exactly.
            EXPECT_EQ(reversed->pixel(x, y), input->pixel(x, h - 1 - y)) << x << "," << y;
            EXPECT_EQ(upright->pixel(x, y), input->pixel(x, y)) << x << "," << y;
        }
}

TEST(ImageContext, PictureIsStretchedOverTheRectangleWithSmoothScaling) {
    // Three-pixel stripes shrunk six times average to grey; enlarged pictures stay solid inside.
    std::vector<std::uint32_t> stripes;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            stripes.push_back((x / 3) % 2 ? pack(255, 255, 255) : pack(0, 0, 0));
    const auto input = platform::Image::fromPixels(60, 60, stripes);
    ImageContext small(10, 10);
    small.drawImage({0, 0, 10, 10}, *input);
    const auto shrunk = small.makeImage();
    for (int x = 1; x < 9; ++x)
        EXPECT_NEAR(testing_pixels::red(shrunk->pixel(x, 5)), 128, 12) << x;

    const auto two = platform::Image::fromPixels(2, 1, {pack(255, 0, 0), pack(0, 0, 255)});
    ImageContext big(20, 10);
    big.drawImage({0, 0, 20, 10}, *two);
    const auto enlarged = big.makeImage();
    EXPECT_EQ(enlarged->pixel(0, 0), pack(255, 0, 0));
    EXPECT_EQ(enlarged->pixel(19, 9), pack(0, 0, 255));
    const int middle = testing_pixels::red(enlarged->pixel(10, 5));
    EXPECT_GT(middle, 20);
    EXPECT_LT(middle, 235);
}

TEST(ImageContext, TransformsComposeInFrontAndRotateAsThePlatformDoes) {
    ImageContext ctx(100, 100);
    ctx.translateCTM(10, 20);
    ctx.scaleCTM(2, 3);
    ctx.rotateCTM(M_PI / 2);
    // Rotation acts first: (1, 0) -> (0, 1); then the scale: (0, 3); then the move: (10, 23).
    const auto p = ctx.ctm().apply({1, 0});
    EXPECT_NEAR(p.x, 10, 1e-9);
    EXPECT_NEAR(p.y, 23, 1e-9);

    // What is drawn follows the same mapping: a unit square at (1, 0) lands at x 7..10,
    // y 23..25 after rotation (x' = -y) and scale.
    ctx.fillRect({1, 0, 1, 1});
    const auto image = ctx.makeImage();
    EXPECT_EQ(testing_pixels::alpha(image->pixel(8, 24)), 255);
    EXPECT_EQ(testing_pixels::alpha(image->pixel(11, 24)), 0);
    EXPECT_EQ(testing_pixels::alpha(image->pixel(8, 21)), 0);
}

// The camera's square preparation: flip, move, then the turn-and-mirror transform.
ImageRef prepareSquare(const platform::Image& cut, int b) {
    ImageContext ctx(b, b);
    const auto t = platform::AffineTransform::makeTranslation(b, b).scaled(-1, 1).rotated(4.712389);
    ctx.scaleCTM(-1, 1);
    ctx.translateCTM(-b, 0);
    ctx.concatCTM(t);
    ctx.drawImage({0, 0, double(b), double(b)}, cut);
    return ctx.makeImage();
}

TEST(ImageContext, QuarterTurnWithMirrorMapsEveryPixelAsTheCameraNeeds) {
    // Pixel (i, j) of the cut lands at (b - j·k, b - i·k): with k = 1 the pixel whose top left
    // is (i, j) covers column b-1-j and row b-1-i.
    const int b = 6;
    const auto cut = gradient(b, b);
    const auto square = prepareSquare(*cut, b);
    for (int j = 0; j < b; ++j)
        for (int i = 0; i < b; ++i)
            EXPECT_EQ(square->pixel(b - 1 - j, b - 1 - i), cut->pixel(i, j)) << i << "," << j;

    // Scaled by k = 2, a band along the cut's left edge ends on the square's bottom edge and
    // its top edge on the right.
    std::vector<std::uint32_t> px(10 * 10, pack(0, 255, 0));
    for (int y = 0; y < 10; ++y)
        px[y * 10] = pack(255, 0, 0);
    for (int x = 1; x < 10; ++x)
        px[x] = pack(0, 0, 255);
    const auto banded = platform::Image::fromPixels(10, 10, px);
    const auto big = prepareSquare(*banded, 20);
    EXPECT_EQ(big->pixel(10, 19), pack(255, 0, 0));
    EXPECT_EQ(big->pixel(19, 8), pack(0, 0, 255));
    EXPECT_EQ(big->pixel(5, 5), pack(0, 255, 0));
}

TEST(ImageContext, UprightDrawingFollowsTheOrientationFlag) {
    // A 3 by 2 bitmap marked Right is shown 2 wide and 3 tall: the stored top row runs down
    // the right edge, the stored left column along the top.
    const auto stored = gradient(3, 2);
    const auto right = stored->withOrientation(platform::ImageOrientation::Right);
    EXPECT_EQ(right->size(), (platform::Size{2, 3}));
    ImageContext ctx(2, 3);
    ctx.drawImageUpright({0, 0, 2, 3}, *right);
    const auto shown = ctx.makeImage();
    EXPECT_EQ(shown->pixel(1, 0), stored->pixel(0, 0));
    EXPECT_EQ(shown->pixel(1, 2), stored->pixel(2, 0));
    EXPECT_EQ(shown->pixel(0, 0), stored->pixel(0, 1));

    const auto down = stored->withOrientation(platform::ImageOrientation::Down);
    ImageContext turned(3, 2);
    turned.drawImageUpright({0, 0, 3, 2}, *down);
    EXPECT_EQ(turned.makeImage()->pixel(0, 0), stored->pixel(2, 1));
}

TEST(ImageContext, StateSavesRestoresAndClips) {
    ImageContext ctx(10, 10);
    ctx.saveGState();
    ctx.clipToRect({0, 0, 5, 10});
    ctx.setRGBFillColor(1, 0, 0, 1);
    ctx.translateCTM(1, 0);
    ctx.fillRect({0, 0, 10, 10});
    ctx.restoreGState();
    ctx.restoreGState(); // unbalanced: ignored
    EXPECT_TRUE(ctx.ctm().isIdentity());
    auto image = ctx.makeImage();
    EXPECT_EQ(image->pixel(0, 0), 0u);
    EXPECT_EQ(image->pixel(4, 0), pack(255, 0, 0));
    EXPECT_EQ(image->pixel(5, 0), 0u);

    ctx.setAlpha(0.5);
    ctx.fillRect({5, 0, 5, 10}); // black again after the restore, at half alpha
    EXPECT_EQ(ctx.makeImage()->pixel(7, 5), pack(0, 0, 0, 128));
}

TEST(ImageContext, DegenerateInputDrawsNothingAndLeavesTheContextUsable) {
    ImageContext ctx(4, 4);
    ctx.saveGState();
    ctx.scaleCTM(0, 0);
    ctx.fillRect({0, 0, 4, 4});
    ctx.restoreGState();
    ctx.fillRect({0, 0, NAN, 4});
    ctx.showTextAtPoint({NAN, 0}, "x");
    EXPECT_EQ(ctx.makeImage()->pixel(1, 1), 0u);
    ctx.fillRect({0, 0, 4, 4});
    EXPECT_EQ(ctx.makeImage()->pixel(1, 1), pack(0, 0, 0));

    ImageContext empty(0, 10);
    empty.fillRect({0, 0, 10, 10});
    EXPECT_EQ(empty.makeImage(), nullptr);
    ImageContext huge(platform::Size{1e9, 1e9});
    EXPECT_EQ(huge.makeImage(), nullptr);
}

TEST(ImageContext, ScaledContextHasMorePixelsPerPoint) {
    ImageContext ctx(platform::Size{320, 480}, 2);
    EXPECT_EQ(ctx.pixelWidth(), 640);
    EXPECT_EQ(ctx.pixelHeight(), 960);
    ctx.fillRect({10, 10, 1, 1});
    const auto image = ctx.makeImage();
    EXPECT_EQ(image->pixel(21, 21), pack(0, 0, 0));
    EXPECT_EQ(image->pixel(22, 21), 0u);
    EXPECT_EQ(image->pixel(19, 21), 0u);
}

// Rows of device pixels that hold ink, and how wide the ink is on each.
struct Ink {
    int top = -1, bottom = -1;
    std::vector<int> widths;
};

Ink inkOf(const platform::Image& image) {
    Ink ink;
    ink.widths.assign(image.pixelHeight(), 0);
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if (testing_pixels::alpha(image.pixel(x, y)) > 128) {
                ++ink.widths[y];
                if (ink.top < 0)
                    ink.top = y;
                ink.bottom = y;
            }
    return ink;
}

TEST(ImageContext, TextStandsUprightInAFlippedSpaceWithItsBaselineAtThePoint) {
    const int h = 60;
    ImageContext ctx(60, h);
    ctx.scaleCTM(1, -1);
    ctx.translateCTM(0, -h);
    ctx.selectFont("MarkerFelt-Thin", 40);
    ctx.setTextDrawingMode(0);
    ctx.setShouldAntialias(true);
    ctx.showTextAtPoint({10, 10}, "T"); // baseline 10 above the bottom: device row 50
    const Ink upright = inkOf(*ctx.makeImage());
    ASSERT_GE(upright.top, 0);
    EXPECT_LE(upright.bottom, 50);
    EXPECT_GE(upright.bottom, 47);
    EXPECT_LT(upright.top, 30);
    // The bar of the T is at the top.
    EXPECT_GT(upright.widths[upright.top + 1], 3 * upright.widths[upright.bottom - 2]);

    ImageContext raw(60, h);
    raw.selectFont("MarkerFelt-Thin", 40);
    raw.showTextAtPoint({10, 10}, "T"); // upside down, hanging below row 10
    const Ink hanging = inkOf(*raw.makeImage());
    EXPECT_GE(hanging.top, 10);
    EXPECT_LE(hanging.top, 13);
    EXPECT_GT(hanging.widths[hanging.bottom - 1], 3 * hanging.widths[hanging.top + 2]);
}

TEST(ImageContext, TextUsesTheFillColourAndAdvancesWithItsWidth) {
    ImageContext ctx(200, 40);
    ctx.selectFont("MarkerFelt-Thin", 20);
    const double one = ctx.textWidth("J");
    const double date = ctx.textWidth("June 05, 2024");
    EXPECT_GT(one, 2);
    EXPECT_GT(date, 8 * one);
    EXPECT_LT(date, 200);
    ctx.scaleCTM(1, -1);
    ctx.translateCTM(0, -40);
    const double white[4] = {1, 1, 1, 0.9};
    ctx.setFillColor(white);
    ctx.showTextAtPoint({5, 10}, "June 05, 2024");
    const auto image = ctx.makeImage();
    int darkest = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const auto p = image->pixel(x, y);
            darkest = std::max(darkest, testing_pixels::alpha(p));
            EXPECT_EQ(testing_pixels::red(p), testing_pixels::alpha(p)); // white, premultiplied
            if (testing_pixels::alpha(p)) {
                EXPECT_LT(x, 5 + date + 2);
            }
        }
    // Thin strokes rarely cover a whole pixel; none may go beyond the colour's own alpha.
    EXPECT_LE(darkest, 230);
    EXPECT_GE(darkest, 200);
}

TEST(ImageContext, FeltPenNameResolvesToTheBundledFontAndUnknownNamesToSans) {
    EXPECT_EQ(platform::FontResolver::fullNameForName("MarkerFelt-Thin"), "Comic Neue Light");
    EXPECT_EQ(platform::FontResolver::fullNameForName("Marker Felt"), "Comic Neue Light");
    const std::string fallback = platform::FontResolver::fullNameForName("NoSuchFont-Xyz");
    EXPECT_NE(fallback.find("Sans"), std::string::npos) << fallback;
}

TEST(ImageContext, ContextsOnSeveralThreadsGiveTheSameResult) {
    const auto input = gradient(64, 64);
    auto compose = [&] {
        ImageContext ctx(48, 48);
        ctx.scaleCTM(1, -1);
        ctx.translateCTM(0, -48);
        ctx.drawImage({0, 0, 48, 48}, *input);
        ctx.setBlendMode(platform::BlendMode::Overlay);
        ctx.setRGBFillColor(1, 1, 1, 0.3);
        ctx.fillRect({0, 0, 48, 48});
        ctx.setBlendMode(platform::BlendMode::Normal);
        ctx.selectFont("MarkerFelt-Thin", 12);
        ctx.showTextAtPoint({4, 4}, "May 01, 2024");
        return ctx.makeImage();
    };
    const auto reference = compose();
    std::vector<ImageRef> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&result, &compose] {
            for (int i = 0; i < 5; ++i)
                result = compose();
        });
    for (auto& t : threads)
        t.join();
    for (const auto& result : results)
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                ASSERT_EQ(result->pixel(x, y), reference->pixel(x, y)) << x << "," << y;
}

} // namespace

// A context over part of a larger picture's pixels draws there exactly what one context over
// the whole picture draws: edges cut across pixels, a picture copied pixel for pixel, a
// picture shrunk and text, at a scale, whatever the part and whatever the pixels held before.
TEST(ImageContext, APartDrawnOnItsOwnIsThatPartOfTheWhole) {
    const double scale = 2;
    const int width = 200, height = 160;
    const auto picture = gradient(40, 30);
    const auto face = platform::FontResolver::faceForName("Helvetica");
    auto draw = [&](ImageContext& ctx) {
        ctx.setRGBFillColor(0.1, 0.2, 0.3, 1);
        ctx.fillRect({0, 0, 100, 80});
        ctx.setRGBFillColor(0.9, 0.2, 0.1, 0.6);
        ctx.fillRect({7.3, 5.7, 60.2, 33.1});
        ctx.drawImageUpright({30, 40, 20, 15}, *picture);
        ctx.drawImageUpright({55.5, 12, 40, 30}, *gradient(240, 180));
        ctx.saveGState();
        ctx.translateCTM(10, 70);
        ctx.scaleCTM(1, -1);
        ctx.setFont(face, 14);
        ctx.setRGBFillColor(1, 1, 0.8, 1);
        ctx.showTextAtPoint({0, 0}, "Vintage 1987");
        ctx.restoreGState();
    };
    ImageContext whole(platform::Size{100, 80}, scale);
    draw(whole);
    const auto expected = whole.makeImage();

    std::vector<std::uint32_t> pixels(std::size_t(width) * height, 0xdeadbeefu);
    const int cuts[][4] = {{0, 0, 77, 61}, {77, 0, 123, 61}, {0, 61, 200, 99}, {33, 20, 50, 90}};
    for (const auto& cut : cuts) {
        ImageContext part(reinterpret_cast<std::uint8_t*>(pixels.data() + cut[1] * width + cut[0]),
                          cut[2], cut[3], width * 4, scale, {double(cut[0]), double(cut[1])});
        draw(part);
    }
    const auto parts = platform::Image::fromPixels(width, height, pixels);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            differing += parts->pixel(x, y) != expected->pixel(x, y);
    EXPECT_EQ(differing, 0);
}
