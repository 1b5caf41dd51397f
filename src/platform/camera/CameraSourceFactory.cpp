#include "platform/camera/CameraSourceFactory.h"

#include "platform/camera/FallbackCameraSource.h"
#include "platform/camera/PictureCameraSource.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/camera/V4l2CameraSource.h"
#include "platform/camera/V4l2Device.h"

#include <cstdio>
#include <system_error>

namespace platform {

namespace {

// How long "auto" gives each webcam to show its first frame; most need well under a second.
constexpr double kFirstFrameSeconds = 1.5;

std::shared_ptr<CameraSource> webcam(std::shared_ptr<V4l2CameraSource> source,
                                     const std::string& path) {
    return std::make_shared<FallbackCameraSource>(std::move(source), "webcam " + path);
}

std::shared_ptr<CameraSource> firstWorkingWebcam() {
    std::string tried;
    for (const WebcamInfo& info : listWebcams()) {
        auto source = std::make_shared<V4l2CameraSource>(info.path);
        if (source->waitForFirstFrame(kFirstFrameSeconds))
            return webcam(std::move(source), info.path);
        const std::string reason =
            source->failed() ? source->failureReason() : std::string("no picture in time");
        tried += (tried.empty() ? "" : ", ") + info.path + ": " + reason;
    }
    if (!tried.empty())
        std::fprintf(stderr, "morvane: no webcam gave a picture (%s); showing the built-in scene\n",
                     tried.c_str());
    return std::make_shared<SceneCameraSource>();
}

} // namespace

std::shared_ptr<CameraSource> makeCameraSource(const std::string& choice, std::string& error) {
    error.clear();
    if (choice.empty() || choice == "auto")
        return firstWorkingWebcam();
    if (choice == "scene")
        return std::make_shared<SceneCameraSource>();
    if (choice.rfind("/dev/video", 0) == 0)
        return webcam(std::make_shared<V4l2CameraSource>(choice), choice);

    std::error_code ignored;
    if (!std::filesystem::exists(choice, ignored)) {
        error = "unknown camera \"" + choice +
                "\": use auto, scene, a /dev/video device or a picture file";
        return nullptr;
    }
    auto picture = std::make_shared<PictureCameraSource>(choice);
    if (picture->failed()) {
        error = "cannot use \"" + choice + "\" as the camera: " + picture->failureReason();
        return nullptr;
    }
    return picture;
}

} // namespace platform
