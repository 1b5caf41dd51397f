// The drawing surface's costs at print size: fills under every blend mode, picture draws,
// JPEG coding, against a plain memory copy of one frame as the floor. Fills and draws run
// twice, through the fast paths (label "fast") and through Cairo alone ("Cairo").
//
// Every figure times the whole of its step: work the fast paths hold back is finished inside
// the timed region (by taking the picture), and no figure includes a cache hit. The one cache
// a step here could hit, the kept area averages of a picture shrunk the same way before, is
// defeated by drawing a fresh copy of the picture each time, as a print's own steps do.
//
// Figures on a shared machine are noisy: read the CPU column, take medians of repetitions
// (--benchmark_repetitions=9 --benchmark_report_aggregates_only=true).
#include "platform/graphics/BlendTables.h"
#include "platform/graphics/HslBlend.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/JpegCodec.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::BlendMode;
using platform::Image;
using platform::ImageContext;
using platform::ImageRef;

constexpr int kSide = 1500;

// Opaque, smooth with grain, like a photograph: flat test colours would flatter the codecs.
ImageRef photo(int side) {
    std::mt19937 random(11);
    std::vector<std::uint32_t> px(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const unsigned grain = random() % 20;
            const unsigned r = (x * 200 / side + grain) & 0xff;
            const unsigned g = (y * 180 / side + grain) & 0xff;
            const unsigned b = ((x + y) * 120 / (2 * side) + 60 + grain) & 0xff;
            px[static_cast<std::size_t>(y) * side + x] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    return Image::fromPixels(side, side, px);
}

const ImageRef& sharedPhoto() {
    static const ImageRef picture = photo(kSide);
    return picture;
}

const char* const kModeNames[] = {
    "normal",    "multiply",   "screen",    "overlay",    "darken",    "lighten",    "colorDodge",
    "colorBurn", "softLight",  "hardLight", "difference", "exclusion", "hue",        "saturation",
    "color",     "luminosity", "clear",     "copy",       "sourceIn",  "sourceOut",  "sourceAtop",
    "destOver",  "destIn",     "destOut",   "destAtop",   "xor",       "plusDarker", "plusLighter",
};

std::string pathLabel(bool fast) {
    return fast ? "fast" : "Cairo";
}

// A picture with the same pixels that no cache has seen: what a print's own steps are given.
ImageRef freshCopy(const Image& picture) {
    const int width = picture.pixelWidth(), height = picture.pixelHeight();
    std::vector<std::uint32_t> argb(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(argb.data() + std::size_t(y) * std::size_t(width),
                    picture.data() + std::size_t(y) * std::size_t(picture.stride()),
                    std::size_t(width) * 4);
    return Image::fromPixels(width, height, argb);
}

// Args: blend mode, fast paths on. The fill over a photograph already on the surface (put
// there and finished untimed); the fill, held back by the fast paths, is painted by the
// context's makeImage(), which is timed with it. In a look, a fill right after a draw costs
// less: it is composed into the draw's own pass (bench_looks times that).
void BM_FillBlendMode(benchmark::State& state) {
    const auto mode = static_cast<BlendMode>(state.range(0));
    const bool fast = state.range(1) != 0;
    const auto& picture = sharedPhoto();
    ImageContext ctx(kSide, kSide);
    ctx.setUsesFastPaths(fast);
    for (auto _ : state) {
        state.PauseTiming();
        ctx.setBlendMode(BlendMode::Copy);
        ctx.drawImage({0, 0, kSide, kSide}, *picture);
        // Finishes the draw; the picture is dropped at once, so the fill needs no copy.
        ctx.makeImage();
        ctx.setBlendMode(mode);
        ctx.setRGBFillColor(0.67, 0.77, 1, 0.7);
        state.ResumeTiming();
        ctx.fillRect({0, 0, kSide, kSide});
        benchmark::DoNotOptimize(ctx.makeImage());
    }
    state.SetLabel(std::string(kModeNames[state.range(0)]) + ", " + pathLabel(fast));
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_FillBlendMode)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 27, 1), {1, 0}})
    ->Unit(benchmark::kMillisecond);

// Args: target side, blend mode, fast paths on, onto a blank context. A 1500 target is a
// pixel-for-pixel draw (flipped, as a look draws), a 1464 one a bilinear one (a photograph's
// shorter side brought to the print's, as the library square is cut), a 250 one a shrinking
// draw (as the small print is made). The fast paths hold a draw back until its picture is
// taken: the draw and makeImage() are timed together, and the shrinking draw is given a fresh
// copy of the photograph each time, so that no kept area average is reused.
void BM_DrawImage(benchmark::State& state) {
    const int target = static_cast<int>(state.range(0));
    const auto mode = static_cast<BlendMode>(state.range(1));
    const bool fast = state.range(2) != 0;
    const bool blank = state.range(3) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        const ImageRef picture = target == 250 ? freshCopy(*sharedPhoto()) : sharedPhoto();
        ImageContext ctx(target, target);
        ctx.setUsesFastPaths(fast);
        if (!blank) {
            ctx.setRGBFillColor(0.84, 0.75, 0.57, 1);
            ctx.fillRect({0, 0, double(target), double(target)});
        }
        ctx.setBlendMode(mode);
        state.ResumeTiming();
        ctx.drawImage({0, 0, double(target), double(target)}, *picture);
        benchmark::DoNotOptimize(ctx.makeImage());
    }
    state.SetLabel(std::to_string(kSide) + " -> " + std::to_string(target) + ", " +
                   kModeNames[state.range(1)] + (blank ? " onto nothing, " : " onto colour, ") +
                   pathLabel(fast));
}
BENCHMARK(BM_DrawImage)
    ->ArgsProduct({{1500, 1464}, {int(BlendMode::Normal)}, {1, 0}, {1, 0}})
    ->ArgsProduct({{1500},
                   {int(BlendMode::Luminosity), int(BlendMode::SourceAtop), int(BlendMode::Screen),
                    int(BlendMode::HardLight)},
                   {1, 0},
                   {0}})
    ->ArgsProduct({{250}, {int(BlendMode::Normal)}, {1, 0}, {1}})
    ->Unit(benchmark::kMillisecond);

void BM_JpegEncode(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const ImageRef picture = side == kSide ? sharedPhoto() : photo(side);
    std::size_t bytes = 0;
    for (auto _ : state) {
        // The coder itself: a picture would hand back its kept encoding.
        const auto jpeg = platform::JpegCodec::encode(
            picture->data(), picture->pixelWidth(), picture->pixelHeight(), picture->stride(), 1.0);
        bytes = jpeg.size();
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["jpeg_bytes"] = double(bytes);
}
BENCHMARK(BM_JpegEncode)->Arg(1500)->Arg(250)->Unit(benchmark::kMillisecond);

// A 1500 by 1500 JPEG file's bytes to a picture; nothing is kept between decodes.
void BM_JpegDecode(benchmark::State& state) {
    const auto jpeg = sharedPhoto()->jpegData(1.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(Image::fromEncodedData(jpeg.data(), jpeg.size()));
}
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond);

// A row pass of the look's HSL fill with the lift before it, over a row that stays in the
// first-level cache: the arithmetic alone, without memory traffic.
void BM_HslFillRowInCache(benchmark::State& state) {
    const auto mode = static_cast<BlendMode>(state.range(0));
    const double lift[4] = {1, 1, 1, 0.1};
    const auto tables =
        platform::BlendTables::make(BlendMode::Overlay, platform::GridColor::forFill(lift, 1));
    const double red[4] = {1, 0, 0, 1};
    platform::HslBlend::SolidFill fill(mode, platform::GridColor::forFill(red, 1),
                                       state.range(1) ? &*tables : nullptr);
    std::vector<std::uint32_t> row(1500);
    const auto& picture = sharedPhoto();
    for (auto _ : state) {
        std::memcpy(row.data(), picture->data(), row.size() * 4);
        fill.row(row.data(), int(row.size()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(row.size()));
    state.SetLabel(std::string(kModeNames[state.range(0)]) +
                   (state.range(1) ? " after a lift" : ""));
}
BENCHMARK(BM_HslFillRowInCache)
    ->Args({int(BlendMode::Hue), 1})
    ->Args({int(BlendMode::Hue), 0})
    ->Args({int(BlendMode::Luminosity), 0});

// One 1500 by 1500 ARGB frame is 9 MB: no pass over a frame can beat copying it.
void BM_Memcpy9MB(benchmark::State& state) {
    const std::size_t size = std::size_t(kSide) * kSide * 4;
    std::vector<std::uint8_t> from(size, 1), to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}
BENCHMARK(BM_Memcpy9MB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
