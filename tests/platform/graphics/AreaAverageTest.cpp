// Shrinking draws average areas: fine detail becomes its mean instead of aliasing, pictures
// land where the transformation puts them (flipped and turned too), and the result is the
// plain box average of the pixels under each new pixel.
#include "platform/graphics/AreaAverage.h"
#include "PixelHelpers.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/ImageContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using platform::AffineTransform;
using platform::Image;
using platform::ImageContext;
using platform::ImageRef;
using testing_pixels::pack;

ImageRef picture(int width, int height, std::uint32_t (*colour)(int, int)) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            px.push_back(colour(x, y));
    return Image::fromPixels(width, height, px);
}

double meanGrey(const Image& image) {
    double sum = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            sum += testing_pixels::green(image.pixel(x, y));
    return sum / (255.0 * image.pixelWidth() * image.pixelHeight());
}

// As the gallery's copy is made: a flipped space, the picture drawn over the whole square.
ImageRef smallCopy(const Image& full, int side) {
    ImageContext context(side, side);
    context.scaleCTM(1, -1);
    context.translateCTM(0, -side);
    context.drawImage({0, 0, double(side), double(side)}, full);
    return context.makeImage();
}

TEST(AreaAverage, ThinLinesShrinkToTheirMeanWithoutAliasing) {
    // One-pixel lines, every other one and every third one, across and down.
    const ImageRef halves =
        picture(1500, 1500, [](int, int y) { return y % 2 ? pack(255, 255, 255) : pack(0, 0, 0); });
    const ImageRef thirds =
        picture(1200, 1200, [](int x, int) { return x % 3 ? pack(0, 0, 0) : pack(255, 255, 255); });
    for (const ImageRef& lines : {halves, thirds}) {
        const ImageRef small = smallCopy(*lines, 250);
        const double mean = meanGrey(*lines);
        EXPECT_NEAR(meanGrey(*small), mean, 0.03 * mean);
        // Aliasing would leave whole rows or columns black or white.
        for (int y = 0; y < 250; y += 7)
            for (int x = 0; x < 250; x += 5) {
                const double v = testing_pixels::green(small->pixel(x, y)) / 255.0;
                EXPECT_NEAR(v, mean, 0.1) << lines->pixelWidth() << " at " << x << "," << y;
            }
    }
}

// The mean of source pixels [x0, x1) × [y0, y1) with fractional edges weighed by coverage.
double boxMean(const Image& image, double x0, double x1, double y0, double y1,
               int (*channel)(std::uint32_t)) {
    double sum = 0, area = 0;
    for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y)
        for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
            const double w = (std::min(x1, x + 1.0) - std::max(x0, double(x))) *
                             (std::min(y1, y + 1.0) - std::max(y0, double(y)));
            sum += w * channel(image.pixel(x, y));
            area += w;
        }
    return sum / area;
}

TEST(AreaAverage, EachNewPixelIsTheBoxAverageOfTheOldPixelsUnderIt) {
    // Whole blocks (by 3) and fractional ones (by 1200/250 = 4.8), colours and alpha varying.
    const ImageRef source = picture(1200, 900, [](int x, int y) {
        const int a = 128 + (x * 7 + y * 3) % 128;
        return pack((x * 13 + y) % (a + 1), (y * 5) % (a + 1), (x ^ y) % (a + 1), a);
    });
    struct Case {
        int columns, rows;
    };
    for (const Case c : {Case{400, 300}, Case{250, 250}}) {
        const platform::ConstBitmapView view{reinterpret_cast<const std::uint32_t*>(source->data()),
                                             source->pixelWidth(), source->pixelHeight(),
                                             source->stride() / 4};
        const double kx = 1200.0 / c.columns, ky = 900.0 / c.rows;
        const auto reduced =
            platform::AreaAverage::reduce(view, {0, kx, c.columns}, {0, ky, c.rows});
        ASSERT_EQ(reduced.size(), std::size_t(c.columns) * c.rows);
        for (int y = 0; y < c.rows; y += 11)
            for (int x = 0; x < c.columns; x += 13) {
                const std::uint32_t got = reduced[std::size_t(y) * c.columns + x];
                for (auto channel : {testing_pixels::red, testing_pixels::green,
                                     testing_pixels::blue, testing_pixels::alpha}) {
                    const double want =
                        boxMean(*source, x * kx, (x + 1) * kx, y * ky, (y + 1) * ky, channel);
                    EXPECT_NEAR(channel(got), want, 0.51 + 1e-3)
                        << c.columns << " across, at " << x << "," << y;
                }
                EXPECT_LE(testing_pixels::red(got), testing_pixels::alpha(got));
            }
    }
}

TEST(AreaAverage, WholeBlocksAreTheirSumDividedAndRoundedHalfUpExactly) {
    // Bytes that sweep every value, so each block size meets sums on both sides of every
    // rounding step, halves included; blocks up to the largest taken in integers.
    const ImageRef source = picture(96, 96, [](int x, int y) {
        const int v = (x * 37 + y * 101) % 256, a = 255 - (x ^ y) % 64;
        return pack((v * 7) % (a + 1), (v * 3 + 1) % (a + 1), v % (a + 1), a);
    });
    const platform::ConstBitmapView view{reinterpret_cast<const std::uint32_t*>(source->data()), 96,
                                         96, source->stride() / 4};
    struct Block {
        int kx, ky;
    };
    for (const Block b : {Block{2, 2}, Block{2, 1}, Block{3, 3}, Block{2, 3}, Block{16, 16}}) {
        const int columns = 96 / b.kx, rows = 96 / b.ky, size = b.kx * b.ky;
        const auto reduced = platform::AreaAverage::reduce(view, {0, double(b.kx), columns},
                                                           {0, double(b.ky), rows});
        ASSERT_EQ(reduced.size(), std::size_t(columns) * rows);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                for (auto channel : {testing_pixels::red, testing_pixels::green,
                                     testing_pixels::blue, testing_pixels::alpha}) {
                    int sum = 0;
                    for (int v = 0; v < b.ky; ++v)
                        for (int u = 0; u < b.kx; ++u)
                            sum += channel(source->pixel(x * b.kx + u, y * b.ky + v));
                    ASSERT_EQ(channel(reduced[std::size_t(y) * columns + x]),
                              (sum + size / 2) / size)
                        << b.kx << "×" << b.ky << " at " << x << "," << y;
                }
    }
}

TEST(AreaAverage, ShrunkPicturesLandWhereCairoPutsThemFlippedOrTurned) {
    // Four flat quadrants: wherever a quadrant lands, both paths must agree away from the
    // seams, whatever their filters do across them.
    const ImageRef quadrants = picture(600, 600, [](int x, int y) {
        return x < 300 ? (y < 300 ? pack(255, 0, 0) : pack(0, 255, 0))
                       : (y < 300 ? pack(0, 0, 255) : pack(255, 255, 0));
    });
    const std::vector<AffineTransform> placements = {
        {},
        {1, 0, 0, -1, 0, 200},
        {-1, 0, 0, 1, 200, 0},
        // The camera's quarter turn with its mirror, a hair off three quarters.
        AffineTransform::makeScale(-1, 1).translated(-200, 0).concat(
            AffineTransform::makeTranslation(200, 200).scaled(-1, 1).rotated(4.712389)),
    };
    for (std::size_t p = 0; p < placements.size(); ++p) {
        auto draw = [&](bool fast) {
            ImageContext context(200, 200);
            context.setUsesFastPaths(fast);
            context.concatCTM(placements[p]);
            context.drawImage({0, 0, 200, 200}, *quadrants);
            return context.makeImage();
        };
        const ImageRef fast = draw(true), slow = draw(false);
        for (int y = 5; y < 200; y += 10)
            for (int x = 5; x < 200; x += 10) {
                if (std::abs(x - 100) < 4 || std::abs(y - 100) < 4)
                    continue;
                EXPECT_EQ(fast->pixel(x, y), slow->pixel(x, y))
                    << "placement " << p << " at " << x << "," << y;
            }
    }
}

TEST(AreaAverage, AShrinkOverPartOfTheSurfaceLeavesTheRestAlone) {
    const ImageRef grey = picture(300, 300, [](int, int) { return pack(128, 128, 128); });
    ImageContext context(100, 100);
    context.setRGBFillColor(0, 0, 1, 1);
    context.fillRect({0, 0, 100, 100});
    context.clipToRect({0, 0, 100, 50});
    context.drawImage({-20, 10, 60, 60}, *grey);
    const ImageRef result = context.makeImage();
    EXPECT_EQ(result->pixel(10, 30), pack(128, 128, 128));
    EXPECT_EQ(result->pixel(10, 60), pack(0, 0, 255)) << "below the clip";
    EXPECT_EQ(result->pixel(50, 30), pack(0, 0, 255)) << "right of the picture";
    EXPECT_EQ(result->pixel(10, 5), pack(0, 0, 255)) << "above the picture";
}

TEST(AreaAverage, UnusableAxesGiveNothing) {
    const std::uint32_t pixel = pack(1, 2, 3);
    const platform::ConstBitmapView view{&pixel, 1, 1, 1};
    EXPECT_TRUE(platform::AreaAverage::reduce(view, {0, 0.5, 4}, {0, 1, 1}).empty());
    EXPECT_TRUE(platform::AreaAverage::reduce(view, {0, 1, 0}, {0, 1, 1}).empty());
    EXPECT_TRUE(platform::AreaAverage::reduce(view, {NAN, 2, 1}, {0, 1, 1}).empty());
    EXPECT_TRUE(platform::AreaAverage::reduce({}, {0, 2, 1}, {0, 2, 1}).empty());
    // Past the edge, the edge pixel repeats.
    const auto padded = platform::AreaAverage::reduce(view, {-3, 2, 3}, {0, 2, 1});
    ASSERT_EQ(padded.size(), 3u);
    EXPECT_EQ(padded[2], pixel);
}

} // namespace
