// How long the camera sources take per frame: the live image redraws at the webcam's or the
// scene's frame rate, so each of these runs many times a second.
#include "platform/camera/CameraPicture.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/camera/VideoFrame.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace platform;

static void sceneFrame(benchmark::State& state) {
    SceneCameraSource scene;
    double t = 0;
    for (auto _ : state) {
        // A new frame step each time, so nothing comes from the one-frame cache; the sky and
        // the land are painted once per size and kept, as for a live camera, and so are the
        // pictures of the sun, clouds and balloon at each quarter-pixel offset (drawn within
        // the first frames timed).
        t += 1.0 / SceneCameraSource::kFramesPerSecond;
        benchmark::DoNotOptimize(scene.frame(t));
    }
}
BENCHMARK(sceneFrame)->Unit(benchmark::kMillisecond);

// A still is drawn whole each time, without the kept layers.
static void sceneStill(benchmark::State& state) {
    SceneCameraSource scene;
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.stillFrame(3.0));
}
BENCHMARK(sceneStill)->Unit(benchmark::kMillisecond);

static void webcamFrameConversion(benchmark::State& state) {
    const int width = 1280, height = 720;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4, 0x7F);
    const VideoFrame frame{width, height, width * 4, bytes.data(), bytes.size()};
    for (auto _ : state)
        benchmark::DoNotOptimize(imageFromVideoFrame(frame));
}
BENCHMARK(webcamFrameConversion)->Unit(benchmark::kMillisecond);

static void livePortrait(benchmark::State& state) {
    const ImageRef frame = SceneCameraSource::render(640, 480, 1.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(portraitPicture(*frame, static_cast<int>(state.range(0))));
}
BENCHMARK(livePortrait)->Arg(320)->Arg(640)->Unit(benchmark::kMillisecond);

static void still(benchmark::State& state) {
    const ImageRef frame = SceneCameraSource::render(1280, 720, 1.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(makeStill(*frame, "iPhone2,1"));
}
BENCHMARK(still)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
