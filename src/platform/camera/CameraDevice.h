#pragma once

#include <memory>
#include <string>

typedef struct _GstDevice GstDevice;

namespace platform {

// A camera the desktop's camera stack offers, as GStreamer's device monitor finds it.
struct CameraDevice {
    // Where it comes from, in the order of preference.
    enum class Stack { PipeWire = 0, Libcamera = 1, V4l2 = 2, Other = 3 };

    // The name the desktop shows for it.
    std::string name;
    // Its device node, such as /dev/video0, where the stack tells it; else empty.
    std::string path;
    Stack stack = Stack::Other;
    // What opens it; the same object for as long as the camera stays plugged in, so it tells
    // one camera from another across listings. Null for a camera made up by a test.
    std::shared_ptr<GstDevice> handle;

    // True when the text names this camera: its name (case aside) or its device node.
    bool isCalled(const std::string& text) const;
    bool isSameCamera(const CameraDevice& other) const;
};

} // namespace platform
