#pragma once

#include "platform/graphics/Image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// One captured frame as a device hands it over: packed 24-bit pixels, three bytes a pixel,
// rows bytesPerLine apart. The bytes belong to the device and are valid only during the call
// that delivers them.
struct VideoFrame {
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
    bool blueFirst = false; // BGR24 instead of RGB24
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// An opaque picture of the frame, or nullptr when the sizes do not fit the bytes.
ImageRef imageFromVideoFrame(const VideoFrame& frame);

// A capture device as the webcam source needs it: start, then read frames one at a time.
// Called from the source's capture thread only, so an implementation needs no locking.
class VideoDevice {
public:
    enum class ReadResult { Frame, Timeout, Failed };

    virtual ~VideoDevice() = default;

    // The device's name for messages, such as "/dev/video0".
    virtual std::string path() const = 0;
    // Opens the device and starts streaming; false with a reason the user can act on.
    virtual bool start(std::string& reason) = 0;
    // Waits up to timeoutSeconds for the next frame. On Frame, deliver has been called with
    // it; on Failed, reason says why and the device delivers nothing more.
    virtual ReadResult readFrame(double timeoutSeconds,
                                 const std::function<void(const VideoFrame&)>& deliver,
                                 std::string& reason) = 0;
    // What the device is once started (card name, frame size); may be empty before.
    virtual std::string description() const = 0;
};

} // namespace platform
