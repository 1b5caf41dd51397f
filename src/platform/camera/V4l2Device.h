#pragma once

#include "platform/camera/CaptureSize.h"
#include "platform/camera/VideoDevice.h"

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// A Video4Linux capture device read through libv4l2, which converts whatever the webcam
// sends (MJPEG, YUYV, Bayer...) into RGB24 for us. Streams through memory-mapped buffers
// when the driver allows it, else through read().
class V4l2Device : public VideoDevice {
public:
    explicit V4l2Device(std::string path);
    ~V4l2Device() override;
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    std::string path() const override { return path_; }
    bool start(std::string& reason) override;
    ReadResult readFrame(double timeoutSeconds,
                         const std::function<void(const VideoFrame&)>& deliver,
                         std::string& reason) override;
    std::string description() const override;

private:
    struct Buffer {
        void* start = nullptr;
        std::size_t length = 0;
    };

    std::vector<CaptureSize> offeredSizes();
    bool startStreaming(std::string& reason);
    void releaseBuffers();
    void stop();

    std::string path_;
    std::string card_;
    int fd_ = -1;
    bool streaming_ = false;
    std::vector<Buffer> buffers_;
    std::vector<std::uint8_t> readBuffer_;
    int width_ = 0;
    int height_ = 0;
    int bytesPerLine_ = 0;
    std::size_t imageSize_ = 0;
    bool blueFirst_ = false;
};

// A capture device found on this machine: its path and the card name it reports.
struct WebcamInfo {
    std::string path;
    std::string name;
};

// The video capture devices under folder (normally /dev) named video<N>, in order of N. Nodes
// that only carry metadata, or that cannot be queried, are left out.
std::vector<WebcamInfo> listWebcams(const std::filesystem::path& folder = "/dev");

} // namespace platform
