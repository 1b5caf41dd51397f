#pragma once

#include "platform/camera/LiveCameraSource.h"

#include <memory>
#include <string>

namespace platform {

// The camera source a `--camera` argument names:
//   "auto" (or empty)  the first camera that gives a picture, else the built-in scene; a camera
//                      plugged in while the scene is shown is taken;
//   "scene"            the built-in scene;
//   "gst:PIPELINE"     the source part of a GStreamer pipeline, as gst-launch-1.0 takes it;
//   a picture file     that picture;
//   anything else      the camera of that name or device node (the built-in scene stands in
//                      while it is missing).
// The listener hears of every change of the camera's status. Returns nullptr with a message in
// error for a picture that cannot be read, a path to no file, or an empty pipeline.
std::shared_ptr<LiveCameraSource> makeCameraSource(const std::string& choice, std::string& error,
                                                   LiveCameraSource::Listener listener = {});

} // namespace platform
