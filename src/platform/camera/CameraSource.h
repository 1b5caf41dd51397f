#pragma once

#include "platform/graphics/Image.h"

#include <cstdint>
#include <string>

namespace platform {

// Where the live camera's pictures come from: a webcam, a picture file or the built-in scene.
// Frames are upright as the scene is seen (orientation Up) and of any size; the camera makes
// its portrait picture and its still from them (see CameraPicture.h). Called from the main
// thread; a source that captures on a thread of its own hands frames over internally.
class CameraSource {
public:
    virtual ~CameraSource() = default;

    // The newest frame at time now (seconds on the run loop's clock), or nullptr before the
    // first frame has arrived. Cheap enough to call on every redraw.
    virtual ImageRef frame(double now) = 0;
    // The best picture for a still at time now: as large as the source can make it.
    virtual ImageRef stillFrame(double now) = 0;
    // What the source is, for messages and `--camera list`.
    virtual std::string description() const = 0;
    // True once the source can deliver no more frames; failureReason() says why.
    virtual bool failed() const = 0;
    virtual std::string failureReason() const { return {}; }
    // Changes whenever a new frame is available, so a window redraws only then.
    virtual std::uint64_t frameCounter() const = 0;
    // True when frames keep changing by themselves (a webcam, the scene); false for a picture.
    virtual bool isLive() const = 0;
    // True for a webcam: what faces its user, whose live picture is best shown as a mirror.
    virtual bool isWebcam() const { return false; }
};

} // namespace platform
