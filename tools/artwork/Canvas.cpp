#include "Canvas.h"

#include <system_error>
#include <utility>

namespace artwork {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    release();
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_),
      surface_(std::exchange(other.surface_, nullptr)), cr_(std::exchange(other.cr_, nullptr)) {}

Canvas& Canvas::operator=(Canvas&& other) noexcept {
    if (this != &other) {
        release();
        width_ = other.width_;
        height_ = other.height_;
        surface_ = std::exchange(other.surface_, nullptr);
        cr_ = std::exchange(other.cr_, nullptr);
    }
    return *this;
}

void Canvas::release() {
    if (cr_ != nullptr) {
        cairo_destroy(cr_);
    }
    if (surface_ != nullptr) {
        cairo_surface_destroy(surface_);
    }
    cr_ = nullptr;
    surface_ = nullptr;
}

std::uint32_t* Canvas::beginPixels() {
    cairo_surface_flush(surface_);
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_));
}

void Canvas::endPixels() {
    cairo_surface_mark_dirty(surface_);
}

int Canvas::stride() const {
    return cairo_image_surface_get_stride(surface_) / 4;
}

bool Canvas::writePng(const std::filesystem::path& path) const {
    if (surface_ == nullptr || cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    std::filesystem::path temporary = path;
    temporary += ".part";
    if (cairo_surface_write_to_png(surface_, temporary.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace artwork
