// `morvane print` on a folder of photos: 1500 by 1500 prints, every core at work, as a user
// runs it on a holiday's pictures. Prints a second is the figure. The photos are the built-in
// scene with a sensor's grain, written as a phone writes them (JPEG quality 90, 4:2:0) once
// before the timing starts, at a common 3 megapixel size and at a 12 megapixel one.
//
// Then one print cut into its stages, and the JPEG floor: the decoding of the photo as a
// print reads it and the encoding of the print, the work no print can do without.
//
// Caches a figure includes: the film frame is decoded once per process and kept, as in any
// batch, and the photo files come from the page cache after their first reading; every photo
// is decoded and printed afresh, and every print encoded and written afresh (--force), as in
// real use. The encoders keep their output memory from print to print, as the command's do.
//
// `bench_batch --write-photos DIR WIDTH HEIGHT COUNT` only writes such photos, for
// bench/batch-speed.sh to time the program itself.
#include "shell/PrintCommand.h"

#include "capture/PrintComposer.h"
#include "library/RollSquare.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/foundation/FileManager.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/JpegEncoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPhotos = 12;

// A small hash, so that the grain is the same on every run and differs from pixel to pixel.
std::uint32_t mixed(std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return v;
}

// The scene at a moment of its own (so no two photos encode alike), with grain of up to six
// steps a channel: flat colours would flatter both JPEG coders.
bool writePhoto(const fs::path& path, int width, int height, int seed) {
    const platform::ImageRef scene =
        platform::SceneCameraSource::render(width, height, 0.7 + 0.37 * seed);
    if (!scene)
        return false;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t noise = mixed(std::uint32_t(y * width + x) ^ (seed * 0x9e3779b9u));
            std::uint32_t pixel = 0xff000000u;
            const std::uint32_t in = scene->pixel(x, y);
            for (int shift = 0; shift <= 16; shift += 8) {
                const int grain = int((noise >> shift) % 13) - 6;
                const int value = std::clamp(int((in >> shift) & 0xff) + grain, 0, 255);
                pixel |= std::uint32_t(value) << shift;
            }
            argb[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    return platform::Image::fromPixels(width, height, argb)->writeJpeg(path, 0.9);
}

class Photos {
public:
    Photos(int width, int height) {
        std::string pattern = (fs::temp_directory_path() / "morvane-batch-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        folder_ = pattern;
        for (int i = 0; i < kPhotos; ++i) {
            const fs::path photo = folder_ / ("photo" + std::to_string(i) + ".jpg");
            if (!writePhoto(photo, width, height, i))
                return;
            paths_.push_back(photo.string());
        }
    }
    ~Photos() {
        std::error_code ignored;
        if (!folder_.empty())
            fs::remove_all(folder_, ignored);
    }
    Photos(const Photos&) = delete;
    Photos& operator=(const Photos&) = delete;

    const std::vector<std::string>& paths() const { return paths_; }
    fs::path out() const { return folder_ / "prints"; }

private:
    fs::path folder_;
    std::vector<std::string> paths_;
};

const Photos& photosOfWidth(int width) {
    static const Photos small(2048, 1536);
    static const Photos large(4000, 3000);
    return width == 4000 ? large : small;
}

// Args: photo width (2048 by 1536 or 4000 by 3000), jobs (0: one per core, the default).
void BM_BatchPrints(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const Photos& photos = photosOfWidth(width);
    if (photos.paths().size() != kPhotos) {
        state.SkipWithError("the photos could not be written");
        return;
    }
    PrintCommand::Options options;
    options.photos = photos.paths();
    options.out = photos.out().string();
    options.highQuality = true;
    options.force = true;
    options.jobs = static_cast<int>(state.range(1));
    for (auto _ : state) {
        std::ostringstream out, err;
        if (PrintCommand::run(options, "iPhone2,1", out, err, false) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    state.counters["prints_per_second"] =
        benchmark::Counter(double(kPhotos) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(kPhotos) + " photos of " + std::to_string(width) + " by " +
                   std::to_string(width * 3 / 4) + ", " +
                   (options.jobs ? std::to_string(options.jobs) + " jobs"
                                 : std::to_string(std::thread::hardware_concurrency()) +
                                       " jobs (every core)"));
}
BENCHMARK(BM_BatchPrints)
    ->ArgsProduct({{2048, 4000}, {1, 0}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

enum Stage { Read, Square, Print, Encode, Write };
const char* const kStageNames[] = {"read and decode", "square", "look and frame", "encode",
                                   "write"};

// Args: stage, photo width. One print of the command's, step by step as makePrint and the
// writer take them: the photo read and decoded (reduced where that still covers the 1500
// square), the square cut, the look and film frame, the encoding, the file written (and
// flushed to the disk: its CPU time, not the wait). Each step is given the previous one's
// result, made untimed.
void BM_BatchStage(benchmark::State& state) {
    const auto stage = static_cast<Stage>(state.range(0));
    const Photos& photos = photosOfWidth(static_cast<int>(state.range(1)));
    if (photos.paths().empty()) {
        state.SkipWithError("the photos could not be written");
        return;
    }
    const std::string& photo = photos.paths().front();
    PrintCommand::Options options;
    options.highQuality = true;
    const PrintInputs inputs = PrintCommand::inputsFor(options, "iPhone2,1");
    const platform::ImageRef picture = platform::Image::readFile(photo, 1500);
    const platform::ImageRef square = RollSquare::makeSquare(*picture, 1500);
    const platform::ImageRef print = PrintComposer::libraryFullPrint(*square, inputs);
    platform::JpegEncoder encoder;
    const auto encoded = encoder.encode(print->data(), print->pixelWidth(), print->pixelHeight(),
                                        print->stride(), 1.0);
    const std::vector<std::uint8_t> jpeg(encoded.begin(), encoded.end());
    const fs::path target = photos.out().parent_path() / "stage.jpg";
    for (auto _ : state) {
        switch (stage) {
        case Read:
            benchmark::DoNotOptimize(platform::Image::readFile(photo, 1500));
            break;
        case Square:
            benchmark::DoNotOptimize(RollSquare::makeSquare(*picture, 1500));
            break;
        case Print:
            benchmark::DoNotOptimize(PrintComposer::libraryFullPrint(*square, inputs));
            break;
        case Encode:
            benchmark::DoNotOptimize(encoder.encode(print->data(), print->pixelWidth(),
                                                    print->pixelHeight(), print->stride(), 1.0));
            break;
        case Write:
            if (!platform::FileManager::writeAtomically(target, jpeg))
                state.SkipWithError("cannot write");
            break;
        }
    }
    state.SetLabel(std::string(kStageNames[stage]) + ", " + std::to_string(picture->pixelWidth()) +
                   " by " + std::to_string(picture->pixelHeight()) + " as decoded");
}
BENCHMARK(BM_BatchStage)
    ->ArgsProduct({{Read, Square, Print, Encode, Write}, {2048, 4000}})
    ->Unit(benchmark::kMillisecond);

// Arg: photo width. The JPEG work of one print, and nothing else: the photo's bytes (already
// in memory) decoded as a print decodes them, and a 1500 print encoded, both into memory
// already touched. What a print costs beyond this is the rest of the pipeline.
void BM_JpegFloor(benchmark::State& state) {
    const Photos& photos = photosOfWidth(static_cast<int>(state.range(0)));
    if (photos.paths().empty()) {
        state.SkipWithError("the photos could not be written");
        return;
    }
    const auto bytes = platform::FileManager::contents(photos.paths().front());
    if (!bytes) {
        state.SkipWithError("the photo cannot be read");
        return;
    }
    PrintCommand::Options options;
    options.highQuality = true;
    const platform::ImageRef print = PrintComposer::libraryFullPrint(
        *RollSquare::makeSquare(*platform::Image::readFile(photos.paths().front(), 1500), 1500),
        PrintCommand::inputsFor(options, "iPhone2,1"));
    platform::DecodeRequest request;
    request.maxPixels = platform::Image::kMaxPixels;
    request.maxSide = platform::Image::kMaxSide;
    request.workingPixels = platform::Image::kWorkingPixels;
    request.shortSide = 1500;
    platform::JpegEncoder encoder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            platform::JpegCodec::decode(bytes->data(), bytes->size(), request));
        benchmark::DoNotOptimize(encoder.encode(print->data(), print->pixelWidth(),
                                                print->pixelHeight(), print->stride(), 1.0));
    }
}
BENCHMARK(BM_JpegFloor)->Arg(2048)->Arg(4000)->Unit(benchmark::kMillisecond);

int writePhotos(char** argv) {
    const fs::path folder = argv[0];
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), count = std::atoi(argv[3]);
    std::error_code error;
    fs::create_directories(folder, error);
    if (width <= 0 || height <= 0 || count <= 0 || !fs::is_directory(folder, error)) {
        std::fprintf(stderr, "usage: bench_batch --write-photos DIR WIDTH HEIGHT COUNT\n");
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%03d.jpg", i);
        if (!writePhoto(folder / name, width, height, i)) {
            std::fprintf(stderr, "bench_batch: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--write-photos") == 0)
        return writePhotos(argv + 2);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
