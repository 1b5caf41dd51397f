#include "capture/FilmLook.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

using testpictures::colorAt;
using testpictures::Rgba;

constexpr Rgba kWhite{1, 1, 1, 1};
constexpr Rgba kBlack{0, 0, 0, 1};
constexpr Rgba kGrey{0.5, 0.5, 0.5, 1};
constexpr Rgba kRed{1, 0, 0, 1};

// A correct chain of 8-bit passes may drift a few levels from the exact blend formulas.
constexpr double kTolerance = 0.02;

void expectColorNear(const Rgba& actual, const Rgba& expected, double tolerance) {
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
}

// Every pixel of a picture, after a check that the picture is uniform.
Rgba uniformColor(const platform::Image& image) {
    const Rgba first = colorAt(image, 0, 0);
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) {
            const Rgba c = colorAt(image, x, y);
            EXPECT_NEAR(c.r, first.r, 1.0 / 255) << "at " << x << "," << y;
            EXPECT_NEAR(c.g, first.g, 1.0 / 255) << "at " << x << "," << y;
            EXPECT_NEAR(c.b, first.b, 1.0 / 255) << "at " << x << "," << y;
        }
    return first;
}

TEST(FilmLook, SolidColoursComeOutAsTheLooksAreTuned) {
    struct Row {
        int look;
        Rgba white, black, grey, red;
    };
    const std::array<Row, 10> table = {{
        {1, kWhite, kBlack, {0.53, 0.58, 0.65}, kRed},
        {2, kWhite, kBlack, {0.58, 0.58, 0.58}, kRed},
        {3, kWhite, kBlack, {0.55, 0.55, 0.55}, {0.21, 0.21, 0.21}},
        {4, kWhite, kBlack, {0.62, 0.53, 0.23}, {0.35, 0.20, 0}},
        {5, {0.96, 1, 1}, {0, 0.06, 0.27}, {0.48, 0.53, 0.63}, {0.96, 0.06, 0.27}},
        {6, kWhite, kBlack, kGrey, kRed},
        {7, kWhite, kBlack, {0.64, 0.50, 0.33}, {0.38, 0.16, 0}},
        {8, kWhite, kBlack, {0.55, 0.55, 0.55}, kRed},
        {9, kWhite, kBlack, kGrey, kRed},
        {10, kWhite, kBlack, {0.58, 0.65, 0.49}, kRed},
    }};
    for (const Row& row : table) {
        const std::array<std::pair<Rgba, Rgba>, 4> cases = {
            {{kWhite, row.white}, {kBlack, row.black}, {kGrey, row.grey}, {kRed, row.red}}};
        for (const auto& [input, expected] : cases) {
            SCOPED_TRACE("look " + std::to_string(row.look) + " on (" + std::to_string(input.r) +
                         ", " + std::to_string(input.g) + ", " + std::to_string(input.b) + ")");
            const auto output = FilmLook::number(row.look).apply(*testpictures::solid(6, 5, input));
            ASSERT_TRUE(output);
            EXPECT_EQ(output->pixelWidth(), 6);
            EXPECT_EQ(output->pixelHeight(), 5);
            expectColorNear(uniformColor(*output), expected, kTolerance);
            EXPECT_NEAR(colorAt(*output, 0, 0).a, 1.0, 1e-9);
        }
    }
}

TEST(FilmLook, RedHueKeepsTheLightnessOfAzure) {
    const auto output = FilmLook::number(8).apply(*testpictures::solid(4, 4, {0.2, 0.6, 0.9, 1}));
    ASSERT_TRUE(output);
    expectColorNear(uniformColor(*output), {1, 0.35, 0.35, 1}, kTolerance);
}

TEST(FilmLook, EveryLookTurnsTheRowsOverOnceWhateverTheFlag) {
    // White rows over black ones; each row must come out as that look gives a solid picture
    // of its colour, in reversed order. The flag says "turned a quarter", which a look must
    // not act on.
    const auto input = testpictures::picture(
        7, 12, [](int, int y) { return y < 3 ? kWhite : kBlack; },
        platform::ImageOrientation::Right);
    for (int look = 1; look <= FilmLook::kCount; ++look) {
        SCOPED_TRACE("look " + std::to_string(look));
        const FilmLook& filmLook = FilmLook::number(look);
        const auto output = filmLook.apply(*input);
        const auto white = filmLook.apply(*testpictures::solid(1, 1, kWhite));
        const auto black = filmLook.apply(*testpictures::solid(1, 1, kBlack));
        ASSERT_TRUE(output && white && black);
        ASSERT_EQ(output->pixelWidth(), 7);
        ASSERT_EQ(output->pixelHeight(), 12);
        for (int y = 0; y < 12; ++y)
            EXPECT_EQ(output->pixel(3, y), (y >= 9 ? white : black)->pixel(0, 0)) << "row " << y;
    }
}

TEST(FilmLook, UntintedLooksOnlyReverseTheRows) {
    const auto input = testpictures::picture(5, 8, [](int x, int y) {
        return y < 4 ? Rgba{1, 0, 0, 1} : Rgba{0.1 * x, 0.2, 1, 1};
    });
    const auto six = FilmLook::number(6).apply(*input);
    const auto nine = FilmLook::number(9).apply(*input);
    ASSERT_TRUE(six && nine);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(six->pixel(x, y), nine->pixel(x, y)) << x << "," << y;
            EXPECT_EQ(six->pixel(x, y), input->pixel(x, 7 - y)) << x << "," << y;
        }
}

TEST(FilmLook, BlackAndWhiteLeavesNoColour) {
    const auto input = testpictures::landscapePicture(96, 64);
    const auto output = FilmLook::number(3).apply(*input);
    ASSERT_TRUE(output);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const Rgba c = colorAt(*output, x, y);
            ASSERT_NEAR(c.r, c.g, 1.5 / 255) << x << "," << y;
            ASSERT_NEAR(c.g, c.b, 1.5 / 255) << x << "," << y;
        }
}

TEST(FilmLook, RedHueTurnsColoursRedAndKeepsGreys) {
    const auto input = testpictures::landscapePicture(96, 64);
    const auto output = FilmLook::number(8).apply(*input);
    ASSERT_TRUE(output);
    int saturated = 0, grey = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const Rgba in = colorAt(*input, x, 63 - y);
            const Rgba out = colorAt(*output, x, y);
            if (in.r == in.g && in.g == in.b) {
                ++grey;
                EXPECT_NEAR(out.r, out.g, 1.5 / 255) << x << "," << y;
                EXPECT_NEAR(out.g, out.b, 1.5 / 255) << x << "," << y;
            } else if (std::max({in.r, in.g, in.b}) - std::min({in.r, in.g, in.b}) > 0.2) {
                ++saturated;
                // The hue of pure red: red leads, green and blue are level.
                EXPECT_GT(out.r, out.g + 0.05) << x << "," << y;
                EXPECT_NEAR(out.g, out.b, 2.0 / 255) << x << "," << y;
            }
        }
    EXPECT_GT(grey, 100);
    EXPECT_GT(saturated, 1000);
}

TEST(FilmLook, TransparencyKeptByUntintedLooksAndFilledByToningLooks) {
    const auto input = testpictures::picture(10, 6, [](int x, int y) {
        return x < 5 ? testpictures::landscape(x / 5.0, y / 6.0) : Rgba{0.3, 0.7, 0.2, 0};
    });
    const auto six = FilmLook::number(6).apply(*input);
    const auto nine = FilmLook::number(9).apply(*input);
    ASSERT_TRUE(six && nine);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(six->pixel(x, y), nine->pixel(x, y));
            EXPECT_EQ(six->pixel(x, y) >> 24, x < 5 ? 255u : 0u) << x << "," << y;
        }
    for (int look : {3, 4, 7, 8}) {
        SCOPED_TRACE("look " + std::to_string(look));
        const auto output = FilmLook::number(look).apply(*input);
        ASSERT_TRUE(output);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(output->pixel(x, y) >> 24, 255u) << x << "," << y;
    }
    // Where there is nothing to draw, sepia's base colour shows, treated as a picture of
    // that colour would be.
    const auto sepia = FilmLook::number(4).apply(*input);
    const auto sepiaBase =
        FilmLook::number(4).apply(*testpictures::solid(2, 2, {0.84, 0.75, 0.57, 1}));
    ASSERT_TRUE(sepia && sepiaBase);
    expectColorNear(colorAt(*sepia, 8, 3), colorAt(*sepiaBase, 0, 0), kTolerance);
}

} // namespace
