// `morvane print` on a folder of photos: 1500 by 1500 prints, every core at work, as a user
// runs it on a holiday's pictures. Prints a second is the figure; the photos are phone-sized
// JPEG files with grain, written once before the timing starts.
#include "shell/PrintCommand.h"

#include "platform/graphics/Image.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPhotos = 24;

// A landscape photo; each one a little different, so no two encode alike.
void writePhoto(const fs::path& path, int seed) {
    constexpr int width = 2048, height = 1536;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            auto c = [](double value) {
                return static_cast<std::uint32_t>(std::clamp(value, 0.0, 1.0) * 255 + 0.5);
            };
            const std::uint32_t grain = (x * 7919u + y * 104729u + seed * 31u) % 9u;
            argb[static_cast<std::size_t>(y) * width + x] =
                0xff000000u | c(0.5 + 0.5 * std::sin(u * 7 + seed)) << 16 |
                std::min(255u, c(v) + grain) << 8 | c(0.5 + 0.4 * std::cos(v * 5));
        }
    platform::Image::fromPixels(width, height, argb)->writeJpeg(path, 0.9);
}

class Photos {
public:
    Photos() {
        std::string pattern = (fs::temp_directory_path() / "morvane-batch-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        folder_ = pattern;
        for (int i = 0; i < kPhotos; ++i) {
            const fs::path photo = folder_ / ("photo" + std::to_string(i) + ".jpg");
            writePhoto(photo, i);
            paths_.push_back(photo.string());
        }
    }
    ~Photos() {
        std::error_code ignored;
        if (!folder_.empty())
            fs::remove_all(folder_, ignored);
    }
    const std::vector<std::string>& paths() const { return paths_; }
    fs::path out() const { return folder_ / "prints"; }

private:
    fs::path folder_;
    std::vector<std::string> paths_;
};

// Arg: jobs (0: one per core, the command's default).
void BM_BatchPrints(benchmark::State& state) {
    static const Photos photos;
    if (photos.paths().size() != kPhotos) {
        state.SkipWithError("the photos could not be written");
        return;
    }
    PrintCommand::Options options;
    options.photos = photos.paths();
    options.out = photos.out().string();
    options.highQuality = true;
    options.force = true;
    options.jobs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::ostringstream out, err;
        if (PrintCommand::run(options, "iPhone2,1", out, err, false) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
    }
    state.counters["prints_per_second"] =
        benchmark::Counter(double(kPhotos) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(kPhotos) + " photos, " +
                   (options.jobs ? std::to_string(options.jobs) + " jobs"
                                 : std::to_string(std::thread::hardware_concurrency()) +
                                       " jobs (every core)"));
}
BENCHMARK(BM_BatchPrints)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
