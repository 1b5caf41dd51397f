#include "platform/camera/V4l2CameraSource.h"

#include "platform/camera/V4l2Device.h"

#include <chrono>
#include <sstream>

namespace platform {

namespace {

// Short enough that closing the camera never waits long for the thread.
constexpr double kPollSeconds = 0.1;

} // namespace

V4l2CameraSource::V4l2CameraSource(const std::string& devicePath)
    : V4l2CameraSource(std::make_unique<V4l2Device>(devicePath)) {}

V4l2CameraSource::V4l2CameraSource(std::unique_ptr<VideoDevice> device, double stallSeconds)
    : path_(device ? device->path() : std::string("(no device)")) {
    if (!device) {
        fail("no device");
        return;
    }
    thread_ = std::thread(&V4l2CameraSource::capture, this, std::move(device), stallSeconds);
}

V4l2CameraSource::~V4l2CameraSource() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

void V4l2CameraSource::capture(std::unique_ptr<VideoDevice> device, double stallSeconds) {
    std::string reason;
    if (!device->start(reason)) {
        fail(reason.empty() ? "cannot start" : reason);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        deviceDescription_ = device->description();
    }
    using Clock = std::chrono::steady_clock;
    auto lastFrame = Clock::now();
    bool converted = false;
    const auto deliver = [this, &converted](const VideoFrame& frame) {
        // Converted here, off the main thread, so the window only ever swaps a pointer.
        ImageRef image = imageFromVideoFrame(frame);
        converted = image != nullptr;
        if (!image)
            return;
        std::lock_guard lock(mutex_);
        newest_ = std::move(image);
        ++counter_;
        changed_.notify_all();
    };
    while (!stopping_) {
        converted = false;
        switch (device->readFrame(kPollSeconds, deliver, reason)) {
        case VideoDevice::ReadResult::Frame:
            // A frame too short for its size shows nothing and so does not count as one.
            if (converted) {
                lastFrame = Clock::now();
                break;
            }
            [[fallthrough]];
        case VideoDevice::ReadResult::Timeout:
            if (std::chrono::duration<double>(Clock::now() - lastFrame).count() > stallSeconds) {
                std::ostringstream text;
                text << "no picture for " << stallSeconds << " seconds";
                fail(text.str());
                return;
            }
            break;
        case VideoDevice::ReadResult::Failed:
            fail(reason.empty() ? "the device stopped" : reason);
            return;
        }
    }
}

void V4l2CameraSource::fail(const std::string& reason) {
    std::lock_guard lock(mutex_);
    failed_ = true;
    reason_ = reason;
    changed_.notify_all();
}

bool V4l2CameraSource::waitForFirstFrame(double timeoutSeconds) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                      [this] { return counter_ > 0 || failed_; });
    return counter_ > 0 && !failed_;
}

ImageRef V4l2CameraSource::frame(double) {
    std::lock_guard lock(mutex_);
    return newest_;
}

ImageRef V4l2CameraSource::stillFrame(double) {
    std::lock_guard lock(mutex_);
    return newest_;
}

std::string V4l2CameraSource::description() const {
    std::lock_guard lock(mutex_);
    return "webcam " + path_ + (deviceDescription_.empty() ? "" : " (" + deviceDescription_ + ")");
}

bool V4l2CameraSource::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

std::string V4l2CameraSource::failureReason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

std::uint64_t V4l2CameraSource::frameCounter() const {
    std::lock_guard lock(mutex_);
    return counter_;
}

} // namespace platform
