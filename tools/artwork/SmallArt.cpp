#include "Controls.h"
#include "SkinArt.h"

#include <cmath>

namespace artwork {

void paintIcon(cairo_t* cr) {
    const Skin& skin = skinAt(0);
    // Shadow, then the white body.
    roundedRect(cr, 4, 5, 56, 57, 11);
    setColor(cr, {0, 0, 0, 0.25});
    cairo_fill(cr);
    roundedRect(cr, 4, 3, 56, 56, 11);
    fillVertical(cr, 3, 59, skin.bodyTop, skin.bodyBottom);
    cairo_set_line_width(cr, 1);
    setColor(cr, {0, 0, 0, 0.25});
    cairo_stroke(cr);

    // The picture window with a glimpse of sky.
    roundedRect(cr, 10, 9, 44, 29, 4);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 9, 0, 38);
    addStop(sky, 0, {0.20, 0.40, 0.74});
    addStop(sky, 0.7, {0.62, 0.74, 0.90});
    addStop(sky, 1, {0.98, 0.80, 0.55});
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sky);
    setColor(cr, {0.05, 0.05, 0.05});
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    // Lamp, slot and release along the bottom, as on the big camera.
    cairo_arc(cr, 15, 46, 3.2, 0, 2 * M_PI);
    setColor(cr, {1.0, 0.40, 0.10});
    cairo_fill(cr);
    roundedRect(cr, 11, 53, 30, 2.5, 1.2);
    setColor(cr, {0.08, 0.08, 0.08});
    cairo_fill(cr);
    cairo_arc(cr, 47, 47, 6.5, 0, 2 * M_PI);
    setColor(cr, skin.trimDark);
    cairo_fill(cr);
    cairo_arc(cr, 47, 47, 5, 0, 2 * M_PI);
    cairo_pattern_t* dome = cairo_pattern_create_radial(45.5, 45.5, 0.5, 47, 47, 5);
    addStop(dome, 0, shade(skin.shutter, 0.35));
    addStop(dome, 1, shade(skin.shutter, -0.3));
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);
}

Canvas drawIcon(int side) {
    Canvas canvas(side, side);
    cairo_scale(canvas.cr(), side / double(kIconUnits), side / double(kIconUnits));
    paintIcon(canvas.cr());
    return canvas;
}

Canvas drawRemoveBadge() {
    Canvas canvas(68, 38);
    cairo_t* cr = canvas.cr();
    // The badge straddles the print's right edge, which lies 45 pixels into the button.
    const double cx = 45;
    const double cy = 19;
    for (int i = 3; i >= 1; --i) {
        cairo_arc(cr, cx, cy + 1.5, 14 + i, 0, 2 * M_PI);
        setColor(cr, {0, 0, 0, 0.10});
        cairo_fill(cr);
    }
    cairo_arc(cr, cx, cy, 14, 0, 2 * M_PI);
    setColor(cr, {1, 1, 1});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, 12, 0, 2 * M_PI);
    cairo_pattern_t* red = cairo_pattern_create_linear(0, cy - 12, 0, cy + 12);
    addStop(red, 0, {0.95, 0.30, 0.24});
    addStop(red, 1, {0.74, 0.08, 0.06});
    cairo_set_source(cr, red);
    cairo_fill(cr);
    cairo_pattern_destroy(red);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3);
    setColor(cr, {1, 1, 1});
    const double arm = 4.8;
    cairo_move_to(cr, cx - arm, cy - arm);
    cairo_line_to(cr, cx + arm, cy + arm);
    cairo_move_to(cr, cx + arm, cy - arm);
    cairo_line_to(cr, cx - arm, cy + arm);
    cairo_stroke(cr);
    return canvas;
}

} // namespace artwork
