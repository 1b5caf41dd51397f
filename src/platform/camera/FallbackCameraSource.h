#pragma once

#include "platform/camera/CameraSource.h"

#include <functional>
#include <memory>
#include <mutex>

namespace platform {

// Keeps the camera alive when its source dies: as soon as the wrapped source has failed (at
// start or later) it shows the built-in scene instead and says so once, in one line:
// "morvane: <name> stopped (<reason>); showing the built-in scene". The switch happens on the
// next call, on the caller's thread, so the message never races the window.
class FallbackCameraSource : public CameraSource {
public:
    using Report = std::function<void(const std::string& line)>;

    // name says what the wrapped source is in the message, such as "webcam /dev/video0".
    // report receives the line without its newline; by default it goes to standard error.
    FallbackCameraSource(std::shared_ptr<CameraSource> wrapped, std::string name,
                         Report report = {});

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override;
    bool failed() const override { return false; }
    std::uint64_t frameCounter() const override;
    bool isLive() const override;
    // What it was made for, even after the scene has taken over: the picture's side stays.
    bool isWebcam() const override { return wrappedIsWebcam_; }

    // True once the built-in scene has taken over.
    bool switched() const;

private:
    // The source to use now; switches to the scene first when the wrapped one has failed.
    std::shared_ptr<CameraSource> active() const;

    mutable std::mutex mutex_;
    mutable std::shared_ptr<CameraSource> wrapped_;
    mutable std::shared_ptr<CameraSource> scene_;
    const std::string name_;
    const Report report_;
    const bool wrappedIsWebcam_;
};

} // namespace platform
