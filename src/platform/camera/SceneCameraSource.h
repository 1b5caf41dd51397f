#pragma once

#include "platform/camera/CameraSource.h"

#include <memory>
#include <mutex>

namespace platform {

// The built-in scene: a colourful, gently moving picture drawn by the program, for machines
// without a webcam and for runs that must give the same pictures every time. A frame depends
// only on the time asked for, in steps of 1/kFramesPerSecond seconds.
class SceneCameraSource : public CameraSource {
public:
    static constexpr int kPreviewWidth = 480; // pixels
    static constexpr int kPreviewHeight = 640;
    static constexpr int kStillWidth = 1536;
    static constexpr int kStillHeight = 2048;
    static constexpr double kFramesPerSecond = 24;

    SceneCameraSource();
    ~SceneCameraSource() override;

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override { return "built-in scene"; }
    bool failed() const override { return false; }
    // Advances with the real clock at the scene's frame rate, so a window showing the scene
    // redraws at that rate and no faster.
    std::uint64_t frameCounter() const override;
    double secondsToNextFrame() const override;
    bool isLive() const override { return true; }

    // The whole scene at time t (seconds), drawn at any size in pixels without the cached
    // layers: what frame() must look like at that size.
    static ImageRef render(int pixelWidth, int pixelHeight, double t);

private:
    struct Layers;
    std::mutex mutex_;
    std::unique_ptr<Layers> layers_;
    double lastStep_ = -1;
    ImageRef lastFrame_;
};

} // namespace platform
