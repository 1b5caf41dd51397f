#pragma once

#include "platform/graphics/Geometry.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace platform {

// Adds a rectangle with quarter-circle corners of `radius` points to the current path.
inline void addRoundedRect(cairo_t* cr, const Rect& r, double radius) {
    radius = std::clamp(radius, 0.0, std::min(r.width(), r.height()) / 2);
    const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - radius, y0 + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x1 - radius, y1 - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x0 + radius, y1 - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + radius, y0 + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

} // namespace platform
