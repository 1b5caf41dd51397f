#pragma once

#include "platform/camera/CameraSource.h"
#include "platform/camera/VideoDevice.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

// A webcam. A capture thread of its own reads the device and keeps only the newest frame, so
// a slow redraw never makes frames pile up. A device that cannot start, reports an error,
// disappears or stays silent for stallSeconds leaves the source failed with the reason.
class V4l2CameraSource : public CameraSource {
public:
    static constexpr double kDefaultStallSeconds = 5.0;

    explicit V4l2CameraSource(const std::string& devicePath);
    // Any device; tests give one that fails on purpose.
    explicit V4l2CameraSource(std::unique_ptr<VideoDevice> device,
                              double stallSeconds = kDefaultStallSeconds);
    ~V4l2CameraSource() override;
    V4l2CameraSource(const V4l2CameraSource&) = delete;
    V4l2CameraSource& operator=(const V4l2CameraSource&) = delete;

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override;
    bool failed() const override;
    std::string failureReason() const override;
    std::uint64_t frameCounter() const override;
    bool isLive() const override { return true; }
    bool isWebcam() const override { return true; }

    // Blocks up to timeoutSeconds (real time) for the first frame; false when none came or
    // the device failed first.
    bool waitForFirstFrame(double timeoutSeconds);

private:
    void capture(std::unique_ptr<VideoDevice> device, double stallSeconds);
    void fail(const std::string& reason);

    const std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    ImageRef newest_;
    std::uint64_t counter_ = 0;
    bool failed_ = false;
    std::string reason_;
    std::string deviceDescription_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace platform
