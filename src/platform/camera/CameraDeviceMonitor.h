#pragma once

#include "platform/camera/CameraDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

typedef struct _GstDeviceMonitor GstDeviceMonitor;

namespace platform {

// The cameras of this machine as the desktop's camera stack offers them, kept up to date while
// it lives: PipeWire's cameras first where PipeWire runs, then libcamera's, then Video4Linux
// devices. GStreamer's providers watch for cameras coming and going on threads of their own;
// the list is read from any thread.
class CameraDeviceMonitor {
public:
    // Starts watching. Without GStreamer, or with no provider that can start, the list stays
    // empty.
    CameraDeviceMonitor();
    ~CameraDeviceMonitor();
    CameraDeviceMonitor(const CameraDeviceMonitor&) = delete;
    CameraDeviceMonitor& operator=(const CameraDeviceMonitor&) = delete;

    // The cameras now, in order of preference.
    std::vector<CameraDevice> devices() const;
    // Counts the cameras that came and went since the start, so a reader can tell a change.
    std::uint64_t changes() const;

    // The cameras there are, looked for once.
    static std::vector<CameraDevice> list();

    // A camera of the stack's own description, in the monitor's terms; public so that a device
    // from anywhere in GStreamer can be described the same way.
    static CameraDevice describe(GstDevice* device);

    struct Watch;

private:
    GstDeviceMonitor* monitor_ = nullptr;
    std::shared_ptr<Watch> watch_;
};

} // namespace platform
