#pragma once

#include <cairo.h>

#include <memory>

namespace platform {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

// An owned Cairo surface, so that every early return of a codec releases what it made.
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// A new premultiplied ARGB32 surface of width × height pixels, or null when it cannot be made.
// Transparent, unless cleared is false: then the caller must write every pixel.
SurfaceHandle makeArgbSurface(int width, int height, bool cleared = true);

} // namespace platform
