#include "platform/camera/SceneCameraSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace platform;

namespace {

struct Rgb {
    int r, g, b;
};

Rgb rgbAt(const Image& image, int x, int y) {
    const std::uint32_t p = image.pixel(x, y);
    return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
            static_cast<int>(p & 0xFF)};
}

// Pixels that differ by more than a rounding step in any channel.
int changedPixels(const Image& a, const Image& b) {
    int changed = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const Rgb p = rgbAt(a, x, y), q = rgbAt(b, x, y);
            if (std::abs(p.r - q.r) > 2 || std::abs(p.g - q.g) > 2 || std::abs(p.b - q.b) > 2)
                ++changed;
        }
    return changed;
}

// The largest difference of any channel of any pixel.
int largestDifference(const Image& a, const Image& b) {
    int largest = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const Rgb p = rgbAt(a, x, y), q = rgbAt(b, x, y);
            largest =
                std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
        }
    return largest;
}

} // namespace

TEST(SceneCameraSource, SameTimeSamePictureAndTheSceneMoves) {
    SceneCameraSource one, other;
    const ImageRef a = one.frame(12.0);
    const ImageRef b = other.frame(12.0);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->pixelWidth(), SceneCameraSource::kPreviewWidth);
    EXPECT_EQ(a->pixelHeight(), SceneCameraSource::kPreviewHeight);
    EXPECT_EQ(a->orientation(), ImageOrientation::Up);
    EXPECT_EQ(changedPixels(*a, *b), 0);
    // Within one frame step the same picture comes back without being drawn again.
    EXPECT_EQ(one.frame(12.01), a);

    const ImageRef later = one.frame(13.0);
    ASSERT_TRUE(later);
    // Clouds, balloon, birds and a waving arm: a visible part of the picture changes in a
    // second, while the land stays where it was.
    const int changed = changedPixels(*a, *later);
    EXPECT_GT(changed, 480 * 640 / 100);
    EXPECT_LT(changed, 480 * 640 / 3);
    // Going back in time gives the earlier picture again.
    EXPECT_EQ(changedPixels(*one.frame(12.0), *a), 0);
}

TEST(SceneCameraSource, CachedLayersDrawTheSamePictureAsAFullRender) {
    SceneCameraSource scene;
    // Times that put the moving parts at many quarter-pixel offsets, the clouds wrapping round.
    for (double t : {0.0, 7.5, 61.0, 100.0 / 24, 1234.0 / 24, 3001.0 / 24}) {
        const ImageRef fast = scene.frame(t);
        const ImageRef full = SceneCameraSource::render(480, 640, t);
        ASSERT_TRUE(fast && full);
        // The kept parts sit within an eighth of a pixel of their drawn place on each axis:
        // only their anti-aliased edges differ, by no more than a quarter of the contrast
        // there. A part half a pixel off, or missing, differs by far more.
        EXPECT_LT(changedPixels(*fast, *full), 480 * 640 / 100) << t;
        EXPECT_LE(largestDifference(*fast, *full), 64) << t;
    }
}

TEST(SceneCameraSource, StillIsLargeAndLiveFlagsAreSet) {
    SceneCameraSource scene;
    const ImageRef still = scene.stillFrame(5.0);
    ASSERT_TRUE(still);
    EXPECT_EQ(still->pixelWidth(), 1536);
    EXPECT_EQ(still->pixelHeight(), 2048);
    EXPECT_TRUE(scene.isLive());
    EXPECT_FALSE(scene.failed());
    // Odd times from a broken clock still give a picture.
    EXPECT_TRUE(scene.frame(-3.0));
    EXPECT_TRUE(scene.frame(1e12));
}

TEST(SceneCameraSource, ShowsSkySkinFoliageAndStrongColoursInThePictureArea) {
    // What the film looks need to be told apart: blue sky, green foliage, skin tones, and
    // saturated reds and yellows, all inside the square the picture area shows.
    SceneCameraSource scene;
    const ImageRef frame = scene.frame(2.0);
    ASSERT_TRUE(frame);
    int sky = 0, foliage = 0, skin = 0, red = 0, yellow = 0, dark = 0, light = 0;
    for (int y = 80; y < 560; ++y)
        for (int x = 0; x < 480; ++x) {
            const auto [r, g, b] = rgbAt(*frame, x, y);
            sky += b > 180 && b > r + 40 && b > g;
            foliage += g > r + 30 && g > b + 30;
            skin += r > 120 && r > g + 20 && g > b + 10 && r - b < 140 && r < 252;
            red += r > 180 && g < 80 && b < 90;
            yellow += r > 200 && g > 170 && b < 90;
            dark += r + g + b < 150;
            light += r + g + b > 700;
        }
    const int area = 480 * 480;
    EXPECT_GT(sky, area / 10);
    EXPECT_GT(foliage, area / 10);
    EXPECT_GT(skin, 600);
    EXPECT_GT(red, area / 200);
    EXPECT_GT(yellow, area / 200);
    EXPECT_GT(dark, area / 400);
    EXPECT_GT(light, area / 200);

    if (const char* folder = std::getenv("MORVANE_SCENE_OUT")) {
        frame->writePng(std::filesystem::path(folder) / "scene.png");
        scene.stillFrame(2.0)->writePng(std::filesystem::path(folder) / "scene-still.png");
    }
}
