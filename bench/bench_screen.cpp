// What one frame of the open window costs on the camera's own screen, drawn at the window's
// default two pixels a point: the whole screen drawn afresh (what every frame cost before the
// window drew only what changed) against the frames the window draws now, one kind each.
// Both take the live picture's frame from the built-in scene at a new moment each time, so
// the scene's own painting is in both; the floor measured beside them is that painting alone.
// The display's share (handing the pixels to SDL and X) is not in these: bench/window-cpu.sh
// measures the whole program.
//
// Figures on a shared machine are noisy: read the CPU column, take medians of repetitions
// (--benchmark_repetitions=9 --benchmark_report_aggregates_only=true).
#include "shell/MainInterface.h"
#include "shell/MorvaneAppDelegate.h"

#include "platform/camera/SceneCameraSource.h"
#include "platform/ui/Application.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScreenPainter.h"
#include "platform/ui/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using platform::Application;

constexpr double kScale = 2;
constexpr double kSceneStep = 1.0 / platform::SceneCameraSource::kFramesPerSecond;

// The camera launched in a home of its own, its live picture on screen: on a virtual clock,
// or on the real clock, where the live picture takes the scene's frames as they come.
class Camera {
public:
    explicit Camera(bool realClock = false)
        : app_(realClock
                   ? nullptr
                   : std::shared_ptr<platform::Clock>(std::make_shared<platform::VirtualClock>())) {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-bench-XXXXXX");
        if (char* made = mkdtemp(pattern.data()))
            home_ = made;
        setenv("MORVANE_HOME", home_.c_str(), 1);
        app_.setCameraSource(std::make_shared<platform::SceneCameraSource>());
        delegate_ = MainInterface::load(app_);
        delegate_->applicationDidFinishLaunching(app_);
        if (auto root = app_.rootViewController()) {
            if (!root->view()->window())
                app_.window()->insertSubviewAt(root->view(), 0);
            root->viewDidAppear(false);
        }
        app_.runLoop().runFor(1);
    }
    ~Camera() {
        app_.terminate();
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }

    Application& app() { return app_; }
    MorvaneAppDelegate& delegate() { return *delegate_; }
    platform::Window& window() { return *app_.window(); }
    void advance(double seconds) { app_.runLoop().runFor(seconds); }

private:
    std::filesystem::path home_;
    Application app_;
    std::shared_ptr<MorvaneAppDelegate> delegate_;
};

// Before: every frame drew the whole screen into a fresh picture.
void wholeScreen(benchmark::State& state) {
    Camera camera;
    for (auto _ : state) {
        camera.advance(kSceneStep);
        benchmark::DoNotOptimize(camera.app().snapshot(kScale));
    }
}
BENCHMARK(wholeScreen)->Unit(benchmark::kMillisecond);

// Now: the live picture takes each new frame of the scene as it comes (waiting for it on the
// real clock costs no processor time) and the frame redraws where it changed, as the window
// does.
void liveFrame(benchmark::State& state) {
    Camera camera(true);
    platform::ScreenPainter painter;
    platform::RunLoop& loop = camera.app().runLoop();
    painter.paint(camera.window(), kScale, loop.now());
    for (auto _ : state) {
        do
            loop.runFor(0.002);
        while (!camera.window().needsDisplay());
        benchmark::DoNotOptimize(painter.paint(camera.window(), kScale, loop.now()));
    }
}
BENCHMARK(liveFrame)->Unit(benchmark::kMillisecond);

// The same with the look shown live (P), on the page the strips stand on at first (the blue
// cast in the square frame): each new frame is also made into the print it would give, once,
// before the parts that changed are drawn.
void liveLookFrame(benchmark::State& state) {
    Camera camera(true);
    camera.delegate().lookLiveKeyPressed();
    platform::ScreenPainter painter;
    platform::RunLoop& loop = camera.app().runLoop();
    // Past the note that says the look is shown, which would be drawn over the picture.
    camera.advance(2);
    painter.paint(camera.window(), kScale, loop.now());
    for (auto _ : state) {
        do
            loop.runFor(0.002);
        while (!camera.window().needsDisplay());
        benchmark::DoNotOptimize(painter.paint(camera.window(), kScale, loop.now()));
    }
}
BENCHMARK(liveLookFrame)->Unit(benchmark::kMillisecond);

// The floor: the scene's own painting of one frame.
void sceneAlone(benchmark::State& state) {
    platform::SceneCameraSource scene;
    double t = 0;
    for (auto _ : state) {
        t += kSceneStep;
        benchmark::DoNotOptimize(scene.frame(t));
    }
}
BENCHMARK(sceneAlone)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
