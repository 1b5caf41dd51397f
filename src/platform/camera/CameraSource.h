#pragma once

#include "platform/camera/CameraStatus.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <string>

namespace platform {

// Where the live camera's pictures come from: a camera, a GStreamer pipeline, a picture file
// or the built-in scene. Frames are upright as the scene is seen (orientation Up) and of any
// size; the camera makes its portrait picture and its still from them (see CameraPicture.h).
// Called from the main thread; a source that captures on threads of its own hands frames over
// internally.
class CameraSource {
public:
    virtual ~CameraSource() = default;

    // The newest frame at time now (seconds on the run loop's clock), or nullptr while there
    // is none (before the first frame, or while the camera is gone). Cheap enough to call on
    // every redraw.
    virtual ImageRef frame(double now) = 0;
    // The best picture for a still at time now: as large as the source can make it.
    virtual ImageRef stillFrame(double now) = 0;
    // What the source is, for messages.
    virtual std::string description() const = 0;
    // True once the source can deliver no more frames; failureReason() says why.
    virtual bool failed() const = 0;
    virtual std::string failureReason() const { return {}; }
    // Changes whenever a new frame is available or what is shown changes, so a window
    // redraws only then.
    virtual std::uint64_t frameCounter() const = 0;
    // Seconds (real time) until frameCounter() changes next, for a source that knows; zero
    // when it cannot say (a camera's frames come when they come).
    virtual double secondsToNextFrame() const { return 0; }
    // True when frames keep changing by themselves (a camera, the scene); false for a picture.
    virtual bool isLive() const = 0;
    // True while the frames come from a camera that faces its user, whose live picture is
    // best shown as a mirror.
    virtual bool isWebcam() const { return false; }
    // What the program should tell its user about the source now.
    virtual CameraStatus status() const {
        return {CameraStatus::Kind::Live, description(), {}, {}};
    }

    // Blocks up to timeoutSeconds (real time) until the source has settled on what it shows:
    // its first frame, or a failure. True when there is a frame.
    virtual bool waitForFirstFrame(double timeoutSeconds) {
        (void)timeoutSeconds;
        return frameCounter() > 0;
    }
    // Moves on to the next camera there is to show; false when there is no other.
    virtual bool switchToNextCamera() { return false; }
};

} // namespace platform
