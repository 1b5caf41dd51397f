// A whole camera print: from a 2048 by 1536 still to the small and full-size JPEG data at
// quality 1.0, with a film frame and the date, at each print side.
#include "capture/PrintComposer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

platform::ImageRef picture(int width, int height, bool frame) {
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            std::uint32_t word;
            if (frame) {
                const bool border = u < 0.06 || u > 0.94 || v < 0.06 || v > 0.8;
                word = border ? 0xfff4f0e6u : 0u;
            } else {
                auto c = [](double value) { return static_cast<std::uint32_t>(value * 255 + 0.5); };
                const double r = 0.5 + 0.5 * std::sin(u * 7), g = v,
                             b = 0.5 + 0.4 * std::cos(v * 5);
                word = 0xff000000u | c(r) << 16 | c(g) << 8 | c(b);
            }
            argb[static_cast<std::size_t>(y) * width + x] = word;
        }
    return platform::Image::fromPixels(width, height, argb,
                                       frame ? platform::ImageOrientation::Up
                                             : platform::ImageOrientation::Right);
}

class JpegSink : public PrintSink {
public:
    void saveImageWithName(const platform::ImageRef& image, const std::string&) override {
        small = image->jpegData(1.0);
    }
    void saveImage2WithName(const platform::ImageRef& image, const std::string&) override {
        full = image->jpegData(1.0);
    }
    void writeToSavedPhotosAlbum(const platform::ImageRef&) override {}

    std::vector<std::uint8_t> small, full;
};

void BM_CameraPrint(benchmark::State& state) {
    static const platform::ImageRef still = picture(2048, 1536, false);
    static const platform::ImageRef frame = picture(1000, 1000, true);
    const int side = static_cast<int>(state.range(0));
    PrintInputs inputs;
    inputs.isHighQuality = side != 750;
    inputs.platformString = side == 1200 ? "iPhone1,1" : "iPhone2,1";
    inputs.categoryOffsetX = 0; // a three-pass look
    inputs.canDate = true;
    inputs.loadFilmFrame = [](const std::string&) { return frame; };
    for (auto _ : state) {
        JpegSink sink;
        PrintComposer::composeCameraPrint(*still, inputs, sink);
        benchmark::DoNotOptimize(sink.full.data());
        if (sink.small.empty() || sink.full.empty())
            state.SkipWithError("no JPEG data");
    }
}

} // namespace

BENCHMARK(BM_CameraPrint)->Arg(750)->Arg(1200)->Arg(1500)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
