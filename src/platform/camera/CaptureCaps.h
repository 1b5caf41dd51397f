#pragma once

#include "platform/camera/CaptureSize.h"

#include <string>
#include <vector>

typedef struct _GstCaps GstCaps;

namespace platform {

// Between GStreamer's description of what a camera can deliver and the offers the size choice
// works with.
class CaptureCaps {
public:
    // The raw and MJPEG offers in caps, in system memory. A range of sizes offers the usual
    // sizes inside it and the limit itself; a list offers each size in it. Other media types
    // are left out.
    static std::vector<CaptureOffer> offers(const GstCaps* caps,
                                            CaptureSize limit = kStillFrameSize);
    // Caps that hold a camera to the offer: its media type and size, and a smooth frame rate
    // when the offer has one.
    static std::string filterFor(const CaptureOffer& offer);
};

} // namespace platform
