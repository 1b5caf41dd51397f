#include "ResourcePicture.h"

#include <filesystem>

ResourcePicture::ResourcePicture(const std::string& name) {
    const auto path = std::filesystem::path(MORVANE_RESOURCE_DIR) / (name + ".png");
    surface_ = cairo_image_surface_create_from_png(path.c_str());
    loaded_ = cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
    if (loaded_) {
        width_ = cairo_image_surface_get_width(surface_);
        height_ = cairo_image_surface_get_height(surface_);
    }
}

ResourcePicture::~ResourcePicture() {
    cairo_surface_destroy(surface_);
}

std::uint32_t ResourcePicture::word(int x, int y) const {
    if (!loaded_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    const int stride = cairo_image_surface_get_stride(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + static_cast<long>(y) * stride;
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

double ResourcePicture::channel(int x, int y, int which) const {
    const std::uint32_t w = word(x, y);
    const int a = static_cast<int>(w >> 24);
    if (a == 0) {
        return 0;
    }
    const int shift = 16 - 8 * which;
    return static_cast<double>((w >> shift) & 0xFF) / a;
}

double ResourcePicture::luminance(int x, int y) const {
    return 0.299 * channel(x, y, 0) + 0.587 * channel(x, y, 1) + 0.114 * channel(x, y, 2);
}
