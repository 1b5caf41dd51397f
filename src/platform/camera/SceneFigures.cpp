#include "platform/camera/SceneFigures.h"

#include "platform/camera/SceneDrawing.h"

namespace platform {

namespace {

using namespace scenedrawing;

constexpr Colour kLightSkin{0.97, 0.79, 0.66};
constexpr Colour kDarkSkin{0.55, 0.35, 0.22};

void face(cairo_t* cr, double x, double y, double r, Colour skin, Colour hair) {
    setColour(cr, hair);
    circle(cr, x, y - r * 0.15, r * 1.1);
    cairo_fill(cr);
    setColour(cr, skin);
    circle(cr, x, y + r * 0.05, r * 0.95);
    cairo_fill(cr);
    setColour(cr, hair);
    cairo_arc(cr, x, y - r * 0.1, r * 1.02, kPi * 1.05, kPi * 1.95);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, {0.12, 0.10, 0.10});
    circle(cr, x - r * 0.35, y + r * 0.08, r * 0.11);
    circle(cr, x + r * 0.35, y + r * 0.08, r * 0.11);
    cairo_fill(cr);
    setColour(cr, {0.95, 0.45, 0.45}, 0.45);
    circle(cr, x - r * 0.55, y + r * 0.38, r * 0.18);
    circle(cr, x + r * 0.55, y + r * 0.38, r * 0.18);
    cairo_fill(cr);
    setColour(cr, {0.55, 0.12, 0.12});
    cairo_set_line_width(cr, r * 0.1);
    cairo_arc(cr, x, y + r * 0.28, r * 0.32, kPi * 0.15, kPi * 0.85);
    cairo_stroke(cr);
}

void people(cairo_t* cr) {
    // A grown-up in a yellow shirt beside the stand.
    setColour(cr, {0.16, 0.26, 0.52});
    cairo_rectangle(cr, 246, 492, 14, 50);
    cairo_rectangle(cr, 264, 492, 14, 50);
    cairo_fill(cr);
    setColour(cr, {0.22, 0.16, 0.12});
    cairo_rectangle(cr, 242, 538, 18, 7);
    cairo_rectangle(cr, 264, 538, 18, 7);
    cairo_fill(cr);
    setColour(cr, {0.99, 0.80, 0.12});
    cairo_move_to(cr, 240, 432);
    cairo_line_to(cr, 284, 432);
    cairo_line_to(cr, 282, 496);
    cairo_line_to(cr, 242, 496);
    cairo_close_path(cr);
    cairo_fill(cr);
    // The lowered arm; the other one waves and is drawn with the moving parts.
    cairo_set_line_width(cr, 10);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, {0.99, 0.80, 0.12});
    cairo_move_to(cr, 242, 438);
    cairo_line_to(cr, 233, 470);
    cairo_stroke(cr);
    setColour(cr, kLightSkin);
    circle(cr, 232, 478, 6);
    cairo_fill(cr);
    setColour(cr, kLightSkin);
    cairo_rectangle(cr, 256, 418, 12, 16);
    cairo_fill(cr);
    face(cr, 262, 404, 20, kLightSkin, {0.45, 0.26, 0.12});

    // A child in a red dress.
    setColour(cr, kDarkSkin);
    cairo_rectangle(cr, 331, 510, 7, 30);
    cairo_rectangle(cr, 344, 510, 7, 30);
    cairo_fill(cr);
    setColour(cr, {0.85, 0.10, 0.22});
    cairo_move_to(cr, 330, 466);
    cairo_line_to(cr, 352, 466);
    cairo_line_to(cr, 362, 514);
    cairo_line_to(cr, 320, 514);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, {0.98, 0.98, 0.98});
    circle(cr, 341, 486, 3);
    circle(cr, 336, 498, 3);
    circle(cr, 347, 500, 3);
    cairo_fill(cr);
    setColour(cr, {0.20, 0.15, 0.12});
    cairo_rectangle(cr, 328, 538, 11, 6);
    cairo_rectangle(cr, 343, 538, 11, 6);
    cairo_fill(cr);
    face(cr, 341, 448, 16, kDarkSkin, {0.10, 0.07, 0.05});
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

void SceneFigures::paintPeople(cairo_t* cr) {
    people(cr);
}

void SceneFigures::paintMovingPeople(cairo_t* cr, double t) {
    // The grown-up waves from the shoulder, away from the face.
    const double angle = -1.25 + 0.35 * wave(t, 1.6);
    const double sx = 282, sy = 438;
    const double hx = sx + 36 * std::cos(angle), hy = sy + 36 * std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 10);
    setColour(cr, {0.99, 0.80, 0.12});
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, (sx + hx) / 2, (sy + hy) / 2);
    cairo_stroke(cr);
    setColour(cr, kLightSkin);
    cairo_set_line_width(cr, 8);
    cairo_move_to(cr, (sx + hx) / 2, (sy + hy) / 2);
    cairo_line_to(cr, hx, hy);
    cairo_stroke(cr);
    circle(cr, hx, hy, 6.5);
    cairo_fill(cr);

    // The child's toy balloon sways on its string.
    const double bx = 380 + 8 * wave(t, 2.7), by = 392 + 5 * wave(t, 2.1, 0.3);
    setColour(cr, {0.30, 0.30, 0.30});
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 356, 478);
    cairo_curve_to(cr, 370, 450, bx - 6, 440, bx, by + 24);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, 6);
    setColour(cr, kDarkSkin);
    cairo_move_to(cr, 352, 472);
    cairo_line_to(cr, 358, 480);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, bx, by);
    cairo_scale(cr, 1, 1.2);
    cairo_pattern_t* shine = cairo_pattern_create_radial(-6, -7, 2, 0, 0, 20);
    cairo_pattern_add_color_stop_rgb(shine, 0, 1.0, 0.75, 0.85);
    cairo_pattern_add_color_stop_rgb(shine, 1, 0.85, 0.10, 0.45);
    cairo_set_source(cr, shine);
    circle(cr, 0, 0, 18);
    cairo_fill(cr);
    cairo_pattern_destroy(shine);
    cairo_restore(cr);
}

} // namespace platform
