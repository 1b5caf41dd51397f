#include "platform/graphics/SurfaceHandle.h"

namespace platform {

SurfaceHandle makeArgbSurface(int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    SurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return surface;
}

} // namespace platform
