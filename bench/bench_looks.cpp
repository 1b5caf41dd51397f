// Each film look over a 1500 by 1500 photograph-like picture, the largest a print gives it.
// The look's result is taken (makeImage) inside the timed region, so the pass the fast paths
// hold back is timed too; no cache plays a part (the draw is pixel for pixel).
#include "capture/FilmLook.h"

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

} // namespace

BENCHMARK(BM_Look)->DenseRange(1, 10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
