#include "platform/camera/CameraSourceFactory.h"

#include "platform/camera/GstreamerCameraSource.h"
#include "platform/camera/PictureCameraSource.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

constexpr std::string_view kPipelinePrefix = "gst:";

// A name that can only be meant as a file: a path that is not a device node, or a picture's
// extension. Camera names have neither.
bool looksLikeAFile(const std::string& choice) {
    if (choice.rfind("/dev/", 0) == 0)
        return false;
    if (choice.find('/') != std::string::npos)
        return true;
    std::string extension = std::filesystem::path(choice).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* known : {".jpg", ".jpeg", ".png", ".heic", ".heif", ".webp"})
        if (extension == known)
            return true;
    return false;
}

} // namespace

std::shared_ptr<LiveCameraSource> makeCameraSource(const std::string& choice, std::string& error,
                                                   LiveCameraSource::Listener listener) {
    error.clear();
    using Kind = LiveCameraSource::Request::Kind;
    LiveCameraSource::Request request;
    if (choice.empty() || choice == "auto") {
        request.kind = Kind::Auto;
    } else if (choice == "scene") {
        request.kind = Kind::Scene;
        request.watchCameras = false;
    } else if (choice.rfind(kPipelinePrefix, 0) == 0) {
        const std::string description = choice.substr(kPipelinePrefix.size());
        if (description.find_first_not_of(" \t") == std::string::npos) {
            error = "gst: needs the source part of a GStreamer pipeline, such as "
                    "gst:videotestsrc";
            return nullptr;
        }
        request.kind = Kind::Fixed;
        request.name = choice;
        request.openFixed = [description, choice]() -> std::shared_ptr<CameraSource> {
            return std::make_shared<GstreamerCameraSource>(
                description, GstreamerCameraSource::Settings{choice, false});
        };
    } else {
        std::error_code ignored;
        if (std::filesystem::is_regular_file(choice, ignored)) {
            auto picture = std::make_shared<PictureCameraSource>(choice);
            if (picture->failed()) {
                error = "cannot use \"" + choice + "\" as the camera: " + picture->failureReason();
                return nullptr;
            }
            request.kind = Kind::Fixed;
            request.name = choice;
            request.watchCameras = false;
            // The picture read once is shown again whenever the camera comes back to it.
            request.openFixed = [picture] { return picture; };
        } else if (looksLikeAFile(choice)) {
            error = "cannot use \"" + choice + "\" as the camera: there is no such file";
            return nullptr;
        } else {
            request.kind = Kind::Named;
            request.name = choice;
        }
    }
    return std::make_shared<LiveCameraSource>(
        std::move(request), LiveCameraSource::machineCameras(), std::move(listener));
}

} // namespace platform
