#include "platform/camera/PictureCameraSource.h"

#include "platform/camera/CameraPicture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <system_error>

namespace platform {

namespace {

// The picture scaled down so its longer side is at most longSide pixels, so that a large
// photograph does not have to be resampled in full on every redraw of the live image.
ImageRef shrunk(const ImageRef& picture, int longSide) {
    const int w = picture->pixelWidth();
    const int h = picture->pixelHeight();
    if (std::max(w, h) <= longSide)
        return picture;
    const double scale = static_cast<double>(longSide) / std::max(w, h);
    const int sw = std::max(1, static_cast<int>(std::lround(w * scale)));
    const int sh = std::max(1, static_cast<int>(std::lround(h * scale)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, static_cast<double>(sw) / w, static_cast<double>(sh) / h);
    cairo_set_source_surface(cr, picture->surface(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    ImageRef small = Image::fromSurface(surface);
    return small ? small : picture;
}

} // namespace

PictureCameraSource::PictureCameraSource(const std::filesystem::path& path) : path_(path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        reason_ = "no such file";
        return;
    }
    if (std::filesystem::is_directory(path, error)) {
        reason_ = "a folder, not a picture";
        return;
    }
    std::string why;
    const ImageRef stored = Image::contentsOfFile(path, &why);
    if (!stored) {
        reason_ = "not a readable picture" + (why.empty() ? std::string() : ": " + why);
        return;
    }
    picture_ = stored->orientation() == ImageOrientation::Up ? stored : uprightImage(*stored);
    if (!picture_) {
        reason_ = "the picture is too large";
        return;
    }
    preview_ = shrunk(picture_, kPreviewLongSide);
}

ImageRef PictureCameraSource::frame(double) {
    return preview_;
}

ImageRef PictureCameraSource::stillFrame(double) {
    return picture_;
}

std::string PictureCameraSource::description() const {
    std::string text = "picture " + path_.string();
    if (picture_)
        text += " (" + std::to_string(picture_->pixelWidth()) + " by " +
                std::to_string(picture_->pixelHeight()) + ")";
    return text;
}

} // namespace platform
