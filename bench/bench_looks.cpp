// Each film look over a 1500 by 1500 photograph-like picture, the largest a print gives it.
// The look's result is taken (makeImage) inside the timed region, so the pass the fast paths
// hold back is timed too; no cache plays a part (the draw is pixel for pixel).
//
// Then one frame of the live picture shown through a look, at the window's default size (640
// pixels square): the camera's square turned for the look, the look, the film frame and the
// date, taken as a picture. The film frame is loaded once and its reduction to 640 pixels is
// remembered with it, as in the window, where every frame after the first finds it; the look
// itself, the frame's blend and the date are done afresh each time.
#include "capture/FilmLook.h"
#include "capture/LiveLook.h"
#include "capture/StripPages.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/SceneCameraSource.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

platform::ImageRef photographLike(int side) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double u = double(x) / side, v = double(y) / side;
            double r = 0.2 + 0.3 * v, g = 0.45 + 0.3 * v, b = 0.95;
            if (v > 0.6 + 0.08 * std::sin(u * 9.0))
                r = 0.15 + 0.2 * u, g = 0.55 - 0.2 * v, b = 0.15;
            if ((u - 0.7) * (u - 0.7) + (v - 0.2) * (v - 0.2) < 0.01)
                r = 1, g = 0.85, b = 0.2;
            auto c = [](double value) { return static_cast<std::uint32_t>(value * 255 + 0.5); };
            argb[static_cast<std::size_t>(y) * side + x] =
                0xff000000u | c(r) << 16 | c(g) << 8 | c(b);
        }
    return platform::Image::fromPixels(side, side, argb);
}

void BM_Look(benchmark::State& state) {
    static const platform::ImageRef picture = photographLike(1500);
    const FilmLook& look = FilmLook::number(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        platform::ImageRef result = look.apply(*picture);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * 1500 * 1500);
}

// Arguments: category, frame number, dated (0 or 1).
void BM_LiveLookFrame(benchmark::State& state) {
    constexpr int kSide = 640;
    platform::SceneCameraSource scene;
    const platform::ImageRef frame = scene.frame(1.0);
    const platform::ImageRef portrait = platform::portraitPicture(*frame, kSide);
    LiveLook look;
    PrintInputs inputs;
    inputs.categoryOffsetX = (state.range(0) - 1) * StripPages::kCategoryPageWidth;
    inputs.frameOffsetX = state.range(1) * StripPages::kFramePageWidth;
    inputs.canDate = state.range(2) != 0;
    look.setInputs(inputs);
    for (auto _ : state) {
        platform::ImageRef square = look.squareOf(*portrait);
        benchmark::DoNotOptimize(square);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

} // namespace

BENCHMARK(BM_Look)->DenseRange(1, 10)->Unit(benchmark::kMillisecond);
// Sepia (a toned monochrome) in the instant frame, dated; the colour look's frame under hard
// light; the red hue; the untinted rainbow in screen mode.
BENCHMARK(BM_LiveLookFrame)
    ->Args({4, 1, 1})
    ->Args({4, 1, 0})
    ->Args({9, 2, 0})
    ->Args({8, 0, 0})
    ->Args({6, 1, 0})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
