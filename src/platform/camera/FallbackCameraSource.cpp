#include "platform/camera/FallbackCameraSource.h"

#include "platform/camera/SceneCameraSource.h"

#include <cstdio>

namespace platform {

namespace {

// Counters of the scene are told apart from the wrapped source's, so the switch itself counts
// as a new frame.
constexpr std::uint64_t kSceneCounterMark = std::uint64_t{1} << 63;

} // namespace

FallbackCameraSource::FallbackCameraSource(std::shared_ptr<CameraSource> wrapped, std::string name,
                                           Report report)
    : wrapped_(std::move(wrapped)), name_(std::move(name)), report_(std::move(report)),
      wrappedIsWebcam_(wrapped_ && wrapped_->isWebcam()) {}

std::shared_ptr<CameraSource> FallbackCameraSource::active() const {
    std::lock_guard lock(mutex_);
    if (scene_)
        return scene_;
    if (wrapped_ && !wrapped_->failed())
        return wrapped_;
    std::string reason = wrapped_ ? wrapped_->failureReason() : std::string("no source");
    if (reason.empty())
        reason = "failed";
    // Releasing the dead source closes its device and ends its thread.
    wrapped_.reset();
    scene_ = std::make_shared<SceneCameraSource>();
    const std::string line =
        "morvane: " + name_ + " stopped (" + reason + "); showing the built-in scene";
    if (report_)
        report_(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
    return scene_;
}

ImageRef FallbackCameraSource::frame(double now) {
    return active()->frame(now);
}

ImageRef FallbackCameraSource::stillFrame(double now) {
    return active()->stillFrame(now);
}

std::string FallbackCameraSource::description() const {
    const std::shared_ptr<CameraSource> source = active();
    if (switched())
        return source->description() + " (" + name_ + " stopped)";
    return source->description();
}

std::uint64_t FallbackCameraSource::frameCounter() const {
    const std::shared_ptr<CameraSource> source = active();
    const std::uint64_t counter = source->frameCounter();
    return switched() ? (counter | kSceneCounterMark) : counter;
}

bool FallbackCameraSource::isLive() const {
    return active()->isLive();
}

bool FallbackCameraSource::switched() const {
    std::lock_guard lock(mutex_);
    return scene_ != nullptr;
}

} // namespace platform
