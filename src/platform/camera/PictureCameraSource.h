#pragma once

#include "platform/camera/CameraSource.h"

#include <filesystem>

namespace platform {

// A picture file (JPEG, PNG, HEIC or WebP) seen as the camera's scene, upright after its own orientation
// flag. It is read once; a file that cannot be read leaves the source failed with the reason.
class PictureCameraSource : public CameraSource {
public:
    // Longest side, in pixels, of the frames shown live; the still keeps the whole picture.
    static constexpr int kPreviewLongSide = 1280;

    explicit PictureCameraSource(const std::filesystem::path& path);

    ImageRef frame(double now) override;
    ImageRef stillFrame(double now) override;
    std::string description() const override;
    bool failed() const override { return !picture_; }
    std::string failureReason() const override { return reason_; }
    std::uint64_t frameCounter() const override { return picture_ ? 1 : 0; }
    bool isLive() const override { return false; }

private:
    std::filesystem::path path_;
    ImageRef picture_;
    ImageRef preview_;
    std::string reason_;
};

} // namespace platform
