#include "SkinArt.h"

#include "Skin.h"

#include <cmath>

namespace artwork {

namespace {

constexpr int kSide = 320;
constexpr double kCentre = 160;
constexpr double kIrisRadius = 146;
constexpr int kBlades = 9;
// How far each blade edge turns away from the radius: more gives a tighter pinwheel.
constexpr double kTwist = 1.22;

struct Point {
    double x, y;
};

// Where a blade edge that starts near the centre meets the iris's rim.
Point rimPoint(Point start, double direction) {
    const double dx = std::cos(direction);
    const double dy = std::sin(direction);
    const double px = start.x - kCentre;
    const double py = start.y - kCentre;
    const double b = px * dx + py * dy;
    const double c = px * px + py * py - kIrisRadius * kIrisRadius;
    const double t = -b + std::sqrt(b * b - c);
    return {start.x + t * dx, start.y + t * dy};
}

void drawIris(cairo_t* cr, const Skin& skin) {
    Point starts[kBlades];
    Point ends[kBlades];
    double angles[kBlades];
    for (int k = 0; k < kBlades; ++k) {
        angles[k] = 2 * M_PI * k / kBlades - M_PI / 2;
        starts[k] = {kCentre + 3 * std::cos(angles[k]), kCentre + 3 * std::sin(angles[k])};
        ends[k] = rimPoint(starts[k], angles[k] + kTwist);
    }
    for (int k = 0; k < kBlades; ++k) {
        const int n = (k + 1) % kBlades;
        cairo_move_to(cr, kCentre, kCentre);
        cairo_line_to(cr, starts[k].x, starts[k].y);
        cairo_line_to(cr, ends[k].x, ends[k].y);
        const double a0 = std::atan2(ends[k].y - kCentre, ends[k].x - kCentre);
        double a1 = std::atan2(ends[n].y - kCentre, ends[n].x - kCentre);
        while (a1 < a0) {
            a1 += 2 * M_PI;
        }
        cairo_arc(cr, kCentre, kCentre, kIrisRadius, a0, a1);
        cairo_line_to(cr, starts[n].x, starts[n].y);
        cairo_close_path(cr);
        // Each blade is lit along its free edge and falls into the shadow of the next one.
        const double mid = (angles[k] + angles[n] + (n == 0 ? 2 * M_PI : 0)) / 2 + 0.5;
        const double lx = kCentre + kIrisRadius * std::cos(mid - 0.9);
        const double ly = kCentre + kIrisRadius * std::sin(mid - 0.9);
        const double dx = kCentre + kIrisRadius * std::cos(mid + 0.9);
        const double dy = kCentre + kIrisRadius * std::sin(mid + 0.9);
        cairo_pattern_t* sheen = cairo_pattern_create_linear(lx, ly, dx, dy);
        // Blades facing the top left catch more light.
        const double facing = 0.5 + 0.5 * std::cos(mid + 2.3);
        addStop(sheen, 0, mix(skin.bladeDark, skin.bladeLight, 0.55 + 0.45 * facing));
        addStop(sheen, 1, skin.bladeDark);
        cairo_set_source(cr, sheen);
        cairo_fill(cr);
        cairo_pattern_destroy(sheen);
    }
    // Edges: a fine bright line with a shadow beside it.
    cairo_set_line_width(cr, 1);
    for (int k = 0; k < kBlades; ++k) {
        cairo_move_to(cr, starts[k].x + 0.8, starts[k].y + 0.8);
        cairo_line_to(cr, ends[k].x + 0.8, ends[k].y + 0.8);
        setColor(cr, {0, 0, 0, 0.5});
        cairo_stroke(cr);
        cairo_move_to(cr, starts[k].x, starts[k].y);
        cairo_line_to(cr, ends[k].x, ends[k].y);
        setColor(cr, withAlpha(shade(skin.bladeLight, 0.5), 0.5));
        cairo_stroke(cr);
    }
}

} // namespace

Canvas drawShutterPlate(int index) {
    const Skin& skin = skinAt(index);
    Canvas canvas(kSide, kSide);
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, 0, kSide, kSide);
    fillVertical(cr, 0, kSide, shade(skin.bodyTop, -0.03), skin.bodyBottom);
    cairo_new_path(cr);
    applyTexture(canvas, skin, 0, kSide, 90u + static_cast<unsigned>(index));

    // The panel's lower edge meets the body: a shadow line so it reads as a separate plate.
    cairo_rectangle(cr, 0, kSide - 3, kSide, 3);
    fillVertical(cr, kSide - 3, kSide, {0, 0, 0, 0}, {0, 0, 0, 0.35});
    cairo_new_path(cr);

    // The iris sits in a deep ring that throws a shadow onto the blades.
    for (int i = 5; i >= 1; --i) {
        cairo_arc(cr, kCentre + 1, kCentre + 2, 156 + i, 0, 2 * M_PI);
        setColor(cr, {0, 0, 0, 0.06});
        cairo_fill(cr);
    }
    drawMetalRing(cr, skin, kCentre, kCentre, 156, 147);
    cairo_arc(cr, kCentre, kCentre, 147, 0, 2 * M_PI);
    setColor(cr, {0.02, 0.02, 0.02});
    cairo_fill(cr);
    drawIris(cr, skin);
    cairo_arc(cr, kCentre, kCentre, kIrisRadius, 0, 2 * M_PI);
    innerShadow(cr, 10, {0, 0, 0, 0.7});

    // Four screws hold the ring.
    for (int k = 0; k < 4; ++k) {
        const double a = M_PI / 4 + k * M_PI / 2;
        const double sx = kCentre + 151.5 * std::cos(a);
        const double sy = kCentre + 151.5 * std::sin(a);
        cairo_arc(cr, sx, sy, 2.6, 0, 2 * M_PI);
        setColor(cr, shade(skin.trimDark, -0.3));
        cairo_fill(cr);
        cairo_move_to(cr, sx - 1.8, sy - 0.6);
        cairo_line_to(cr, sx + 1.8, sy + 0.6);
        cairo_set_line_width(cr, 0.8);
        setColor(cr, {0, 0, 0, 0.7});
        cairo_stroke(cr);
    }
    return canvas;
}

} // namespace artwork
