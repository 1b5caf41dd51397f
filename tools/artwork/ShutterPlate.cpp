#include "SkinArt.h"

#include "Skin.h"

#include <cmath>

namespace artwork {

namespace {

constexpr int kSide = 320;
constexpr double kCentre = 160;
constexpr double kIrisRadius = 146;
constexpr int kBlades = 9;
// How far, in radians, each blade edge turns on its way from the centre to the rim.
constexpr double kTwist = 1.6;

// A point on blade edge k, a fraction t of the way from the centre to the rim. The edges
// are spirals, so the closed blades read as a pinwheel and not as slices of a pie.
void edgePoint(int k, double t, double& x, double& y) {
    const double angle = 2 * M_PI * k / kBlades - M_PI / 2 + kTwist * std::pow(t, 0.8);
    const double r = 2 + (kIrisRadius + 2 - 2) * t;
    x = kCentre + r * std::cos(angle);
    y = kCentre + r * std::sin(angle);
}

void addEdge(cairo_t* cr, int k, bool outward) {
    constexpr int kSteps = 32;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(outward ? i : kSteps - i) / kSteps;
        double x = 0;
        double y = 0;
        edgePoint(k, t, x, y);
        cairo_line_to(cr, x, y);
    }
}

void drawIris(cairo_t* cr, const Skin& skin) {
    for (int k = 0; k < kBlades; ++k) {
        const int n = k + 1;
        cairo_move_to(cr, kCentre, kCentre);
        addEdge(cr, k, true);
        addEdge(cr, n, false);
        cairo_close_path(cr);
        // Each blade is lit along one edge and falls into the shadow of the next one.
        double lx = 0, ly = 0, dx = 0, dy = 0;
        edgePoint(k, 0.55, lx, ly);
        edgePoint(n, 0.55, dx, dy);
        const double mid = 2 * M_PI * (k + 0.5) / kBlades - M_PI / 2 + kTwist * 0.6;
        // Blades facing the top left catch more light.
        const double facing = 0.5 + 0.5 * std::cos(mid + 2.3);
        cairo_pattern_t* sheen = cairo_pattern_create_linear(lx, ly, dx, dy);
        addStop(sheen, 0, mix(skin.bladeDark, skin.bladeLight, 0.45 + 0.55 * facing));
        addStop(sheen, 0.7, mix(skin.bladeDark, skin.bladeLight, 0.25 * facing));
        addStop(sheen, 1, shade(skin.bladeDark, -0.3));
        cairo_set_source(cr, sheen);
        cairo_fill(cr);
        cairo_pattern_destroy(sheen);
    }
    // Edges: a shadow beside a fine bright line.
    for (int k = 0; k < kBlades; ++k) {
        cairo_save(cr);
        cairo_translate(cr, 0.8, 0.8);
        cairo_move_to(cr, kCentre, kCentre);
        addEdge(cr, k, true);
        cairo_restore(cr);
        cairo_set_line_width(cr, 1.2);
        setColor(cr, {0, 0, 0, 0.55});
        cairo_stroke(cr);
        cairo_move_to(cr, kCentre, kCentre);
        addEdge(cr, k, true);
        cairo_set_line_width(cr, 0.8);
        setColor(cr, withAlpha(shade(skin.bladeLight, 0.5), 0.45));
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
