#include "Controls.h"

#include <cmath>

namespace artwork {

void drawLampSocket(cairo_t* cr, const Skin& skin, double cx, double cy) {
    drawMetalRing(cr, skin, cx, cy, 12.6, 10.6);
    cairo_arc(cr, cx, cy, 10.6, 0, 2 * M_PI);
    cairo_pattern_t* glass = cairo_pattern_create_radial(cx - 2, cy - 3, 1, cx, cy, 10.6);
    addStop(glass, 0, {0.42, 0.10, 0.07});
    addStop(glass, 0.6, {0.22, 0.04, 0.03});
    addStop(glass, 1, {0.10, 0.02, 0.02});
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    // Reflection of the room on the dome.
    cairo_save(cr);
    cairo_translate(cr, cx - 3, cy - 4.5);
    cairo_scale(cr, 4.5, 2.6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    setColor(cr, {1, 1, 1, 0.16});
    cairo_fill(cr);
}

void drawCameraGlyph(cairo_t* cr, Color ink, double cx, double cy) {
    cairo_save(cr);
    // Body with the viewfinder hump; the lens sits on it as a dark ring.
    roundedRect(cr, cx - 15, cy - 8, 30, 19, 3.5);
    roundedRect(cr, cx - 6.5, cy - 12, 13, 6, 1.8);
    setColor(cr, ink);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy + 1.5, 7, 0, 2 * M_PI);
    setColor(cr, {0, 0, 0, 0.85});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy + 1.5, 5.2, 0, 2 * M_PI);
    setColor(cr, ink);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_arc(cr, cx - 1.6, cy - 0.2, 1.4, 0, 2 * M_PI);
    setColor(cr, withAlpha(ink, 0.8));
    cairo_fill(cr);
    // Flash window at the top right.
    cairo_rectangle(cr, cx + 8, cy - 6, 4.5, 2.5);
    setColor(cr, {0, 0, 0, 0.6});
    cairo_fill(cr);
    cairo_restore(cr);
}

void drawPhotosGlyph(cairo_t* cr, Color ink, Color cutout, double cx, double cy) {
    cairo_save(cr);
    // The print behind, tilted the other way.
    cairo_save(cr);
    cairo_translate(cr, cx - 3, cy - 1);
    cairo_rotate(cr, -0.16);
    roundedRect(cr, -13, -10, 26, 20, 1.5);
    setColor(cr, withAlpha(ink, 0.55));
    cairo_fill(cr);
    cairo_restore(cr);
    // The print in front: a white border around a little landscape.
    cairo_translate(cr, cx + 3, cy + 1.5);
    cairo_rotate(cr, 0.08);
    roundedRect(cr, -13, -10, 26, 20, 1.5);
    setColor(cr, ink);
    cairo_fill(cr);
    cairo_rectangle(cr, -10.5, -7.5, 21, 15);
    setColor(cr, cutout);
    cairo_fill(cr);
    cairo_move_to(cr, -10.5, 7.5);
    cairo_line_to(cr, -4, -1.5);
    cairo_line_to(cr, 0.5, 3.5);
    cairo_line_to(cr, 4, 0);
    cairo_line_to(cr, 10.5, 7.5);
    cairo_close_path(cr);
    setColor(cr, ink);
    cairo_fill(cr);
    cairo_arc(cr, 5.5, -3.5, 2, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

void drawShutterRelease(cairo_t* cr, const Skin& skin, double cx, double cy) {
    // Soft shadow the collar throws on the body.
    for (int i = 3; i >= 1; --i) {
        cairo_arc(cr, cx + 0.3, cy + 1.2, 20.5 + i, 0, 2 * M_PI);
        setColor(cr, {0, 0, 0, 0.05});
        cairo_fill(cr);
    }
    drawMetalRing(cr, skin, cx, cy, 21, 17.5);
    cairo_arc(cr, cx, cy, 17.5, 0, 2 * M_PI);
    setColor(cr, {0.04, 0.04, 0.04});
    cairo_fill(cr);

    // The release itself: a domed button, lit from the top left.
    cairo_arc(cr, cx, cy, 15.5, 0, 2 * M_PI);
    cairo_pattern_t* dome = cairo_pattern_create_radial(cx - 5, cy - 6, 2, cx, cy, 16);
    addStop(dome, 0, shade(skin.shutter, 0.35));
    addStop(dome, 0.55, skin.shutter);
    addStop(dome, 1, shade(skin.shutter, -0.45));
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);
    // A shallow finger dish in the middle.
    cairo_arc(cr, cx, cy, 9.5, 0, 2 * M_PI);
    cairo_pattern_t* dish = cairo_pattern_create_linear(cx, cy - 9.5, cx, cy + 9.5);
    addStop(dish, 0, withAlpha(shade(skin.shutter, -0.35), 0.9));
    addStop(dish, 1, withAlpha(shade(skin.shutter, 0.2), 0.9));
    cairo_set_source(cr, dish);
    cairo_fill(cr);
    cairo_pattern_destroy(dish);
    // Specular highlight.
    cairo_save(cr);
    cairo_translate(cr, cx - 6, cy - 8.5);
    cairo_rotate(cr, -0.5);
    cairo_scale(cr, 6, 2.8);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    setColor(cr, {1, 1, 1, 0.45});
    cairo_fill(cr);
}

void drawMeterEye(cairo_t* cr, const Skin& skin, double cx, double cy) {
    drawMetalRing(cr, skin, cx, cy, 10.5, 8.5);
    cairo_arc(cr, cx, cy, 8.5, 0, 2 * M_PI);
    cairo_pattern_t* glass = cairo_pattern_create_radial(cx - 2, cy - 2, 0.5, cx, cy, 8.5);
    addStop(glass, 0, {0.22, 0.25, 0.32});
    addStop(glass, 1, {0.03, 0.03, 0.05});
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    // Honeycomb lens facets suggested by a few faint rings.
    for (double r : {2.5, 5.0, 7.0}) {
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        setColor(cr, {0.6, 0.7, 0.9, 0.10});
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx - 2.5, cy - 3, 2, 0, 2 * M_PI);
    setColor(cr, {1, 1, 1, 0.5});
    cairo_fill(cr);
}

void drawPrintStackGlyph(cairo_t* cr, Color ink, double cx, double cy) {
    cairo_save(cr);
    cairo_set_line_width(cr, 1.1);
    for (int i = 2; i >= 0; --i) {
        const double d = i * 2.0;
        cairo_rectangle(cr, cx - 5.5 + d, cy - 6 - d * 0.5, 10, 11);
        setColor(cr, ink);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, cx - 4, cy - 4.5, 7, 6);
    setColor(cr, withAlpha(ink, 0.7));
    cairo_fill(cr);
    cairo_restore(cr);
}

Canvas drawLamp() {
    Canvas canvas(22, 22);
    cairo_t* cr = canvas.cr();
    const double c = 11;
    // A lit LED dome: white-hot core, orange body, deep red rim, all inside the circle.
    cairo_arc(cr, c, c, 10.6, 0, 2 * M_PI);
    cairo_pattern_t* glow = cairo_pattern_create_radial(c - 1, c - 1.5, 0.5, c, c, 10.6);
    addStop(glow, 0, {1.0, 0.97, 0.80});
    addStop(glow, 0.22, {1.0, 0.78, 0.30});
    addStop(glow, 0.55, {1.0, 0.36, 0.08});
    addStop(glow, 0.85, {0.86, 0.12, 0.04});
    addStop(glow, 1, {0.55, 0.05, 0.02});
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    cairo_save(cr);
    cairo_translate(cr, c - 3, c - 5);
    cairo_scale(cr, 4, 2.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    setColor(cr, {1, 1, 1, 0.55});
    cairo_fill(cr);
    return canvas;
}

} // namespace artwork
