#include "CategoryArt.h"

#include "FilmFrames.h"
#include "Paint.h"

#include <cmath>

namespace artwork {

Canvas drawSampleScene(int size) {
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    const double s = size;
    cairo_rectangle(cr, 0, 0, s, s);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 0.62 * s);
    // Muted, mostly mid tones: the looks cast their colour most visibly there.
    addStop(sky, 0, {0.40, 0.52, 0.70});
    addStop(sky, 0.6, {0.66, 0.70, 0.76});
    addStop(sky, 1, {0.90, 0.80, 0.66});
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    cairo_arc(cr, 0.70 * s, 0.48 * s, 0.10 * s, 0, 2 * M_PI);
    setColor(cr, {1.0, 0.88, 0.45});
    cairo_fill(cr);

    // Far hills, blue with distance.
    cairo_move_to(cr, 0, 0.62 * s);
    cairo_curve_to(cr, 0.25 * s, 0.42 * s, 0.40 * s, 0.50 * s, 0.55 * s, 0.58 * s);
    cairo_curve_to(cr, 0.75 * s, 0.50 * s, 0.90 * s, 0.52 * s, s, 0.60 * s);
    cairo_line_to(cr, s, s);
    cairo_line_to(cr, 0, s);
    cairo_close_path(cr);
    setColor(cr, {0.48, 0.52, 0.60});
    cairo_fill(cr);

    // The near meadow.
    cairo_move_to(cr, 0, 0.72 * s);
    cairo_curve_to(cr, 0.30 * s, 0.62 * s, 0.65 * s, 0.70 * s, s, 0.64 * s);
    cairo_line_to(cr, s, s);
    cairo_line_to(cr, 0, s);
    cairo_close_path(cr);
    cairo_pattern_t* grass = cairo_pattern_create_linear(0, 0.62 * s, 0, s);
    addStop(grass, 0, {0.52, 0.64, 0.36});
    addStop(grass, 1, {0.26, 0.38, 0.20});
    cairo_set_source(cr, grass);
    cairo_fill(cr);
    cairo_pattern_destroy(grass);

    // A pale path across the meadow.
    cairo_move_to(cr, 0.55 * s, s);
    cairo_curve_to(cr, 0.60 * s, 0.85 * s, 0.50 * s, 0.78 * s, 0.62 * s, 0.70 * s);
    cairo_line_to(cr, 0.66 * s, 0.70 * s);
    cairo_curve_to(cr, 0.58 * s, 0.78 * s, 0.74 * s, 0.86 * s, 0.78 * s, s);
    cairo_close_path(cr);
    setColor(cr, {0.70, 0.67, 0.60});
    cairo_fill(cr);

    // A red barn with a dark roof.
    const double bx = 0.18 * s;
    const double by = 0.64 * s;
    const double bw = 0.20 * s;
    const double bh = 0.14 * s;
    cairo_rectangle(cr, bx, by, bw, bh);
    setColor(cr, {0.80, 0.14, 0.10});
    cairo_fill(cr);
    cairo_move_to(cr, bx - 0.02 * s, by);
    cairo_line_to(cr, bx + bw / 2, by - 0.08 * s);
    cairo_line_to(cr, bx + bw + 0.02 * s, by);
    cairo_close_path(cr);
    setColor(cr, {0.25, 0.16, 0.14});
    cairo_fill(cr);
    cairo_rectangle(cr, bx + 0.075 * s, by + 0.05 * s, 0.05 * s, 0.09 * s);
    setColor(cr, {0.96, 0.92, 0.84});
    cairo_fill(cr);
    return canvas;
}

namespace {

void fill(cairo_t* cr, cairo_operator_t op, Color c) {
    cairo_set_operator(cr, op);
    setColor(cr, c);
    cairo_paint(cr);
}

void draw(cairo_t* cr, cairo_operator_t op, cairo_surface_t* picture) {
    cairo_set_operator(cr, op);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
}

// The camera's ten colour treatments, step for step, so a page shows what its look does.
void applyLook(int number, cairo_t* cr, cairo_surface_t* picture) {
    const auto normal = CAIRO_OPERATOR_OVER;
    const auto overlay = CAIRO_OPERATOR_OVERLAY;
    const auto burn = CAIRO_OPERATOR_COLOR_BURN;
    auto burnTint = [&](Color tint) {
        draw(cr, normal, picture);
        fill(cr, overlay, {1, 1, 1, 0.3});
        fill(cr, burn, withAlpha(tint, 0.7));
    };
    auto toned = [&](Color base) {
        fill(cr, normal, base);
        draw(cr, CAIRO_OPERATOR_HSL_LUMINOSITY, picture);
        fill(cr, overlay, {1, 1, 1, 0.3});
        fill(cr, burn, {0.77, 0.77, 0.77, 1});
    };
    switch (number) {
    case 1:
        burnTint({0.67, 0.77, 1});
        break;
    case 2:
        burnTint({0.77, 0.77, 0.77});
        break;
    case 3:
        toned({0, 0, 0});
        break;
    case 4:
        toned({0.84, 0.75, 0.57});
        break;
    case 5:
        draw(cr, normal, picture);
        fill(cr, CAIRO_OPERATOR_HARD_LIGHT, {0.47, 0.54, 0.69, 0.7});
        break;
    case 7:
        toned({0.92, 0.79, 0.69});
        break;
    case 8:
        fill(cr, normal, {0.5, 0, 0});
        draw(cr, normal, picture);
        fill(cr, overlay, {1, 1, 1, 0.1});
        fill(cr, CAIRO_OPERATOR_HSL_HUE, {1, 0, 0});
        break;
    case 10:
        burnTint({0.77, 1, 0.6});
        break;
    default:
        draw(cr, normal, picture);
        break;
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

} // namespace

Canvas drawLookSample(int number, int size, const Fonts& fonts) {
    const Canvas scene = drawSampleScene(size);
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    applyLook(number, cr, scene.surface());

    FilmFamily family = FilmFamily::Normal;
    cairo_operator_t mode = CAIRO_OPERATOR_ATOP;
    if (number == 6) {
        family = FilmFamily::Rainbow;
        mode = CAIRO_OPERATOR_SCREEN;
    } else if (number == 7) {
        family = FilmFamily::Vintage;
    } else if (number == 9) {
        family = FilmFamily::Color;
        mode = CAIRO_OPERATOR_HARD_LIGHT;
    }
    // Frame 1, the instant print's shape, drawn large and scaled down so its texture averages
    // out instead of aliasing.
    const int detail = size * 4;
    const Canvas frame = drawFilmFrame(family, 1, detail, fonts);
    cairo_save(cr);
    cairo_scale(cr, 1.0 / 4, 1.0 / 4);
    cairo_set_source_surface(cr, frame.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_set_operator(cr, mode);
    cairo_paint(cr);
    cairo_restore(cr);
    return canvas;
}

} // namespace artwork
