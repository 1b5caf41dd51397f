#pragma once

#include "platform/camera/CameraDevice.h"
#include "platform/camera/CameraSource.h"
#include "platform/camera/CaptureSize.h"

#include <memory>
#include <string>
#include <thread>

namespace platform {

// Live frames from a GStreamer pipeline: a camera the device monitor found, or any source
// described as gst-launch-1.0 describes one (`videotestsrc pattern=ball`, a network camera, a
// video file ending in a decoder). The pipeline ends in an appsink that keeps only the newest
// frame, converted on the pipeline's own thread, so a slow redraw never makes frames pile up
// and the preview and the stills come from the same stream.
//
// The capture size is chosen from what the source offers (chooseCaptureOffer); an MJPEG camera
// is decoded. A worker thread of its own starts and stops the pipeline, so neither a slow
// device nor a stuck one holds up the caller: an error, the end of the stream or a silence of
// stallSeconds leaves the source failed with a reason in one short clause, and closing waits
// at most kCloseSeconds for the pipeline to stop.
class GstreamerCameraSource : public CameraSource {
public:
    static constexpr double kDefaultStallSeconds = 5.0;
    static constexpr double kCloseSeconds = 1.0;

    struct Settings {
        // How the user knows the source, for description().
        std::string name;
        // A camera that faces its user (isWebcam()).
        bool webcam = false;
        double stallSeconds = kDefaultStallSeconds;
        CaptureSize limit = kStillFrameSize;
    };

    // A pipeline whose source part is `description`; it must give raw video.
    GstreamerCameraSource(std::string description, Settings settings);
    // A camera the device monitor found.
    GstreamerCameraSource(const CameraDevice& device, Settings settings);
    ~GstreamerCameraSource() override;
    GstreamerCameraSource(const GstreamerCameraSource&) = delete;
    GstreamerCameraSource& operator=(const GstreamerCameraSource&) = delete;

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override { return settings_.name; }
    bool failed() const override;
    std::string failureReason() const override;
    std::uint64_t frameCounter() const override;
    bool isLive() const override { return true; }
    bool isWebcam() const override { return settings_.webcam; }
    bool waitForFirstFrame(double timeoutSeconds) override;

    struct Shared;
    struct Plan;

private:
    // Starts the worker on the plan, or fails at once without GStreamer.
    void start(Plan plan);

    const Settings settings_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

} // namespace platform
