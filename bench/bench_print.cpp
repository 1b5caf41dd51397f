// A whole camera print: from a 2048 by 1536 still to the small and full-size JPEG data at
// quality 1.0, with the bundle's film frame and the date, at each print side and for every
// look; then the same print cut into its stages, and the floors to read them against (a copy
// of one 1500 by 1500 frame, and the JPEG coding alone), measured in the same run.
//
// Caches a figure includes are named with it; they are the ones the camera hits from its
// second print on (the film frame decoded once and kept, and at 750 its shrunk copy). A cache
// real use would not hit (a print's own pictures shrunk or encoded before) is defeated by
// giving each iteration fresh pictures, made untimed.
//
// Figures on a shared machine are noisy: read the CPU column, take medians of repetitions
// (--benchmark_repetitions=9 --benchmark_report_aggregates_only=true).
#include "capture/FilmFrame.h"
#include "capture/FilmLook.h"
#include "capture/PrintComposer.h"
#include "capture/PrintSize.h"
#include "capture/StripPages.h"
#include "library/RollSquare.h"

#include "platform/foundation/Bundle.h"
#include "platform/graphics/GraphicsWarmUp.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/JpegCodec.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

using platform::Image;
using platform::ImageRef;

// A still as the camera stores it: landscape, the scene's top along the left edge.
ImageRef still() {
    constexpr int width = 2048, height = 1536;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            auto c = [](double value) { return static_cast<std::uint32_t>(value * 255 + 0.5); };
            const double r = 0.5 + 0.5 * std::sin(u * 7), g = v, b = 0.5 + 0.4 * std::cos(v * 5);
            // Grain, as a sensor gives it: flat colours would flatter the JPEG coder.
            const std::uint32_t grain = (x * 7919u + y * 104729u) % 9u;
            argb[static_cast<std::size_t>(y) * width + x] =
                0xff000000u | std::min(255u, c(r) + grain) << 16 | c(g) << 8 | c(b);
        }
    return Image::fromPixels(width, height, argb, platform::ImageOrientation::Right);
}

const ImageRef& sharedStill() {
    static const ImageRef picture = still();
    return picture;
}

// A picture keeps its last encoding; the coder's own cost needs it done afresh each time.
std::vector<std::uint8_t> encodeAfresh(const Image& image) {
    return platform::JpegCodec::encode(image.data(), image.pixelWidth(), image.pixelHeight(),
                                       image.stride(), 1.0);
}

class JpegSink : public PrintSink {
public:
    void saveImageWithName(const ImageRef& image, const std::string&) override {
        small = image->jpegData(1.0);
    }
    void saveImage2WithName(const ImageRef& image, const std::string&) override {
        full = image->jpegData(1.0);
    }
    void writeToSavedPhotosAlbum(const ImageRef&) override {}

    std::vector<std::uint8_t> small, full;
};

// Print side b and category strip offset for look n.
PrintInputs inputsFor(int side, int look) {
    PrintInputs inputs;
    inputs.isHighQuality = side != 750;
    inputs.platformString = side == 1200 ? "iPhone1,1" : "iPhone2,1";
    inputs.categoryOffsetX = 270.0 * (look - 1);
    inputs.frameOffsetX = 320.0 * (look % 3);
    inputs.canDate = true;
    return inputs;
}

// Args: print side, look number. The film frames come from the bundle as in the camera, so
// a second print of the same frame reads it from the decoded-picture cache (and at 750 its
// shrunk copy from the kept area averages); everything else is made afresh.
void BM_CameraPrint(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const int look = static_cast<int>(state.range(1));
    const PrintInputs inputs = inputsFor(side, look);
    // Once untimed, as the camera's launch warm-up would have: the frame decoded, code paged in.
    JpegSink warm;
    PrintComposer::composeCameraPrint(*sharedStill(), inputs, warm);
    for (auto _ : state) {
        JpegSink sink;
        PrintComposer::composeCameraPrint(*sharedStill(), inputs, sink);
        benchmark::DoNotOptimize(sink.full.data());
        if (sink.small.empty() || sink.full.empty())
            state.SkipWithError("no JPEG data");
    }
    state.SetLabel("look " + std::to_string(look));
}
BENCHMARK(BM_CameraPrint)
    ->ArgsProduct({{1500}, benchmark::CreateDenseRange(1, 10, 1)})
    ->Args({750, 1})
    ->Args({750, 3})
    ->Args({750, 8})
    ->Args({1200, 1})
    ->Unit(benchmark::kMillisecond);

enum Stage {
    Square,
    LibrarySquare,
    LookAndFrame,
    Look,
    FullPrint,
    SmallPrint,
    FullJpeg,
    SmallJpeg
};
const char* const kStageNames[] = {"camera square",
                                   "library square",
                                   "look, frame and date in place",
                                   "look apart (750 library)",
                                   "full print of it (750 library)",
                                   "small print",
                                   "full JPEG",
                                   "small JPEG"};

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

// Args: stage, print side, look number. The camera square is treated by its look in the
// print's own pixels, then framed and dated ("in place", as every camera print and every
// 1500 library print is made); a library square larger than the print (750) is treated
// apart and then shrunk into the print. Each stage is given fresh pictures (copied
// untimed), so the shrinking of the look at 750 and the small print's shrinking of the full
// print are done each time, as in a print; the film frame is the cached one (and at 750 its
// kept shrunk copy), as from the camera's second print on. The library square is cut from a
// 2048 by 1536 photograph stored upright, at 1500 whatever the side.
void BM_PrintStage(benchmark::State& state) {
    const auto stage = static_cast<Stage>(state.range(0));
    const int side = static_cast<int>(state.range(1));
    const int look = static_cast<int>(state.range(2));
    const PrintSize size = PrintSize::forModel(side != 750, "iPhone2,1");
    const ImageRef square = PrintComposer::prepareCameraSquare(*sharedStill(), side, size.cropSide);
    PrintInputs inputs = inputsFor(side, look);
    inputs.frameOffsetX = 320.0;
    inputs.now = [] { return std::chrono::system_clock::time_point(); };
    const ImageRef full = PrintComposer::libraryFullPrint(*square, inputs);
    const ImageRef small = PrintComposer::smallPrint(*full);
    // A library square is 1500 whatever the print's side.
    const ImageRef photograph = sharedStill()->withOrientation(platform::ImageOrientation::Up);
    const ImageRef librarySquare = RollSquare::makeSquare(*photograph, 1500);
    const ImageRef looked = FilmLook::number(look).apply(*librarySquare);
    const FilmFrame frame = FilmFrame::forCategoryAndFrame(look, 1);
    const ImageRef framePicture = PrintComposer::filmFrameFromBundle(frame.name);
    const auto stamp = DateStamp::forPrint({}, side != 750, side, look);
    for (auto _ : state) {
        state.PauseTiming();
        const ImageRef lookedAfresh = stage == FullPrint ? freshCopy(*looked) : looked;
        const ImageRef fullAfresh = stage == SmallPrint ? freshCopy(*full) : full;
        state.ResumeTiming();
        switch (stage) {
        case Square:
            benchmark::DoNotOptimize(
                PrintComposer::prepareCameraSquare(*sharedStill(), side, size.cropSide));
            break;
        case LibrarySquare:
            benchmark::DoNotOptimize(RollSquare::makeSquare(*photograph, 1500));
            break;
        case LookAndFrame:
            benchmark::DoNotOptimize(PrintComposer::libraryFullPrint(*square, inputs));
            break;
        case Look:
            benchmark::DoNotOptimize(FilmLook::number(look).apply(*librarySquare));
            break;
        case FullPrint:
            benchmark::DoNotOptimize(PrintComposer::drawFullPrint(
                *lookedAfresh, side, framePicture.get(), frame.blendMode, stamp));
            break;
        case SmallPrint:
            benchmark::DoNotOptimize(PrintComposer::smallPrint(*fullAfresh));
            break;
        case FullJpeg:
            benchmark::DoNotOptimize(encodeAfresh(*full));
            break;
        case SmallJpeg:
            benchmark::DoNotOptimize(encodeAfresh(*small));
            break;
        }
    }
    state.SetLabel(std::string(kStageNames[stage]) + ", look " + std::to_string(look));
}
BENCHMARK(BM_PrintStage)
    ->ArgsProduct({{Square, LookAndFrame, SmallPrint, FullJpeg, SmallJpeg}, {1500, 750}, {1}})
    ->Args({LibrarySquare, 1500, 1})
    ->Args({Look, 750, 1})
    ->Args({FullPrint, 750, 1})
    ->Args({LookAndFrame, 1500, 6})
    ->Args({LookAndFrame, 1500, 9})
    ->Unit(benchmark::kMillisecond);

// The floors, in the same run as the prints they are quoted with.
void BM_Memcpy9MB(benchmark::State& state) {
    const std::size_t size = std::size_t(1500) * 1500 * 4;
    std::vector<std::uint8_t> from(size, 1), to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy9MB)->Unit(benchmark::kMillisecond);

void BM_JpegOnly(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const PrintSize size = PrintSize::forModel(side != 750, "iPhone2,1");
    const ImageRef square = PrintComposer::prepareCameraSquare(*sharedStill(), side, size.cropSide);
    const ImageRef small = PrintComposer::smallPrint(*square);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encodeAfresh(*square));
        benchmark::DoNotOptimize(encodeAfresh(*small));
    }
    state.SetLabel("both files of a " + std::to_string(side) + " print");
}
BENCHMARK(BM_JpegOnly)->Arg(1500)->Arg(750)->Unit(benchmark::kMillisecond);

double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

constexpr const char* kFirstPrintVariable = "MORVANE_BENCH_FIRST_PRINT";

// In a fresh process: the first print's CPU time in milliseconds, after the launch warm-up
// when asked (run apart from the print, as launch runs it on another thread, with the film
// frame the strips stand at).
int firstPrintInThisProcess(bool warm) {
    const ImageRef picture = still();
    const PrintInputs inputs = inputsFor(1500, 1);
    if (warm) {
        const FilmFrame frame = FilmFrame::forCategoryAndFrame(
            StripPages::categoryNumberForOffset(inputs.categoryOffsetX),
            StripPages::frameNumberForOffset(inputs.frameOffsetX));
        std::vector<std::filesystem::path> frames;
        if (const auto path = platform::Bundle::main().pathForResource(frame.name, "png"))
            frames.push_back(*path);
        platform::GraphicsWarmUp::run({DateStamp::kFontName}, frames);
    }
    const double start = threadCpuMilliseconds();
    JpegSink sink;
    PrintComposer::composeCameraPrint(*picture, inputs, sink);
    std::printf("%.3f\n", threadCpuMilliseconds() - start);
    return sink.full.empty() ? 1 : 0;
}

// The first print a new process makes, cold or after the warm-up: each iteration runs this
// program afresh, so nothing earlier benchmarks loaded or cached is there.
void BM_FirstPrint(benchmark::State& state) {
    const bool warm = state.range(0) != 0;
    const std::string command = std::string(kFirstPrintVariable) + "=" + (warm ? "warm" : "cold") +
                                " /proc/" + std::to_string(getpid()) + "/exe";
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        double elapsed = -1;
        if (!child || std::fscanf(child, "%lf", &elapsed) != 1 || elapsed < 0) {
            if (child)
                pclose(child);
            state.SkipWithError("the fresh process made no print");
            return;
        }
        pclose(child);
        state.SetIterationTime(elapsed / 1e3);
    }
    state.SetLabel(warm ? "after warm-up" : "cold");
}
BENCHMARK(BM_FirstPrint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (const char* mode = std::getenv(kFirstPrintVariable))
        return firstPrintInThisProcess(std::string(mode) == "warm");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
