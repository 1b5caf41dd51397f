#pragma once

#include "platform/camera/CameraDevice.h"
#include "platform/camera/CameraSource.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The camera as the user chose it, through cameras that come and go. It shows one source at a
// time and says what it is doing (status()):
//   - a camera that is starting keeps what was shown before until its first frame, and takes
//     over then; one that does not start is passed over (NotStarted), or, when it was asked
//     for, leaves the camera gone;
//   - a camera in use that is unplugged or stops leaves the camera Gone: no picture, never a
//     frozen frame or another source in its place, until another camera appears;
//   - in Auto the cameras are tried in order at the start, the built-in scene stands in when
//     none works, and a camera plugged in while the scene is shown is taken;
//   - a camera asked for by name that is not there leaves the scene shown and the camera
//     Missing until it appears;
//   - switchToNextCamera() moves through the fixed source (if any), the cameras, the scene.
// Every change of status is told to the listener, on the caller's thread, once. Called from
// the main thread only; sources starting or failing on their own threads are looked at on
// each call.
class LiveCameraSource : public CameraSource {
public:
    struct Request {
        enum class Kind { Auto, Named, Scene, Fixed };
        Kind kind = Kind::Auto;
        // Named: the camera's name or device node. Fixed: what the fixed source is called.
        std::string name;
        // Fixed: opens the source afresh (a pipeline, a picture).
        std::function<std::shared_ptr<CameraSource>()> openFixed;
        // Whether to look for cameras from the start; otherwise only once the user moves on
        // to the next camera, so that a run that never uses one never starts the camera stack.
        bool watchCameras = true;
    };
    // Where cameras come from: the list now, a count that changes whenever the list does, and
    // how one is opened.
    struct Devices {
        std::function<std::vector<CameraDevice>()> list;
        std::function<std::uint64_t()> changes;
        std::function<std::shared_ptr<CameraSource>(const CameraDevice&)> open;
    };
    using Listener = std::function<void(const CameraStatus&)>;

    LiveCameraSource(Request request, Devices devices, Listener listener = {});
    ~LiveCameraSource() override;
    LiveCameraSource(const LiveCameraSource&) = delete;
    LiveCameraSource& operator=(const LiveCameraSource&) = delete;

    // This machine's cameras, watched by a device monitor (started at the first look) and
    // opened through GStreamer.
    static Devices machineCameras();

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override;
    bool failed() const override { return false; }
    std::uint64_t frameCounter() const override;
    // The source shown says, while one is shown; nothing changes faster than it does (a
    // camera that appears or starts is seen at the shown source's next frame). A still
    // picture left alone is looked at again after kStillLook.
    double secondsToNextFrame() const override;
    static constexpr double kStillLook = 0.25;
    // Cameras may appear at any moment, so there is always something to look at again.
    bool isLive() const override { return true; }
    bool isWebcam() const override;
    CameraStatus status() const override;
    bool waitForFirstFrame(double timeoutSeconds) override;
    bool switchToNextCamera() override;

    // The state and its rules, kept behind the lock; each call brings it up to date first.
    struct State;

private:
    // Tells the listener what happened since the last call, without the lock held.
    void report() const;

    const Listener listener_;
    mutable std::mutex mutex_;
    const std::unique_ptr<State> state_;
};

} // namespace platform
