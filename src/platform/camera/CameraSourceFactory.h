#pragma once

#include "platform/camera/CameraSource.h"

#include <memory>
#include <string>

namespace platform {

// The camera source a `--camera` argument names:
//   "auto" (or empty)  the first webcam that delivers a frame within about 1.5 s, else the
//                      built-in scene (quietly when there is no webcam at all);
//   "scene"            the built-in scene;
//   "/dev/videoN"      that webcam, giving way to the scene if it fails;
//   anything else      a picture file.
// Webcams come wrapped so that one that stops gives way to the scene with one line on
// standard error. Returns nullptr with a message in error for a name that is none of these
// or a picture that cannot be read.
std::shared_ptr<CameraSource> makeCameraSource(const std::string& choice, std::string& error);

} // namespace platform
