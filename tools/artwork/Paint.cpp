#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace artwork {

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Color mix(Color from, Color to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Color shade(Color c, double amount) {
    const Color target = amount >= 0 ? Color{1, 1, 1, c.a} : Color{0, 0, 0, c.a};
    return mix(c, target, std::fabs(amount));
}

Color withAlpha(Color c, double alpha) {
    return {c.r, c.g, c.b, alpha};
}

Color hueColor(double hue) {
    const double h = (hue - std::floor(hue)) * 6;
    const double x = 1 - std::fabs(std::fmod(h, 2.0) - 1);
    switch (static_cast<int>(h)) {
    case 0:
        return {1, x, 0};
    case 1:
        return {x, 1, 0};
    case 2:
        return {0, 1, x};
    case 3:
        return {0, x, 1};
    case 4:
        return {x, 0, 1};
    default:
        return {1, 0, x};
    }
}

void setColor(cairo_t* cr, Color c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void addStop(cairo_pattern_t* pattern, double offset, Color c) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, c.a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::max(0.0, std::min({radius, w / 2, h / 2}));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double y0, double y1, Color top, Color bottom) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(gradient, 0, top);
    addStop(gradient, 1, bottom);
    cairo_set_source(cr, gradient);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gradient);
}

void innerShadow(cairo_t* cr, double depth, Color shadow) {
    // Cairo has no blur, so the shadow is built from strokes of falling width and alpha
    // clipped to the shape: wide faint strokes first, the narrow dark edge last.
    cairo_save(cr);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_clip(cr);
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double t = static_cast<double>(i) / steps;
        cairo_new_path(cr);
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, 2 * depth * t);
        setColor(cr, withAlpha(shadow, shadow.a / steps * 1.6));
        cairo_stroke(cr);
    }
    cairo_path_destroy(path);
    cairo_restore(cr);
}

} // namespace artwork
