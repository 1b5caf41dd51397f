#include "platform/camera/ScenePainter.h"

#include "platform/camera/SceneDrawing.h"
#include "platform/camera/SceneFigures.h"
#include "platform/camera/SceneLettering.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace platform {

using namespace scenedrawing;

namespace {

void cloud(cairo_t* cr, double size) {
    cairo_save(cr);
    cairo_scale(cr, size, size);
    circle(cr, -34, 6, 18);
    circle(cr, -12, -8, 24);
    circle(cr, 16, -4, 21);
    circle(cr, 36, 8, 15);
    cairo_rectangle(cr, -34, 6, 70, 16);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, -32, 0, 24);
    cairo_pattern_add_color_stop_rgba(shade, 0, 1, 1, 1, 0.97);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0.84, 0.88, 0.95, 0.95);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
}

// The sun's glow swells and shrinks as it moves, so it is drawn where it is.
void sunGlow(cairo_t* cr, double x, double y, double t) {
    const double glowRadius = 92 + 4 * wave(t, 3.1);
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 30, x, y, glowRadius);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.93, 0.55, 0.75);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.93, 0.55, 0.0);
    cairo_set_source(cr, glow);
    circle(cr, x, y, glowRadius);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

void sunDisc(cairo_t* cr) {
    cairo_pattern_t* body = cairo_pattern_create_radial(-10, -10, 4, 0, 0, 36);
    cairo_pattern_add_color_stop_rgb(body, 0, 1.0, 0.98, 0.72);
    cairo_pattern_add_color_stop_rgb(body, 1, 1.0, 0.72, 0.18);
    cairo_set_source(cr, body);
    circle(cr, 0, 0, 36);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
}

void bird(cairo_t* cr, double x, double y, double flap) {
    cairo_move_to(cr, x - 9, y - 4 * flap);
    cairo_curve_to(cr, x - 5, y - 5 * flap, x - 2, y - 2, x, y);
    cairo_curve_to(cr, x + 2, y - 2, x + 5, y - 5 * flap, x + 9, y - 4 * flap);
}

// About the envelope's centre.
void hotAirBalloon(cairo_t* cr) {
    const double cx = 0, cy = 0;
    const double r = 48;

    // Ropes first, so the envelope hides where they meet it.
    cairo_set_line_width(cr, 1.2);
    setColour(cr, {0.35, 0.25, 0.18});
    for (double dx : {-20.0, -7.0, 7.0, 20.0}) {
        cairo_move_to(cr, cx + dx * 1.1, cy + r * 0.9);
        cairo_line_to(cr, cx + dx * 0.55, cy + r + 34);
    }
    cairo_stroke(cr);
    // Wicker basket with its weave.
    const double bx = cx - 14, by = cy + r + 32;
    setColour(cr, {0.62, 0.40, 0.18});
    cairo_rectangle(cr, bx, by, 28, 20);
    cairo_fill(cr);
    setColour(cr, {0.40, 0.24, 0.10});
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 4; ++i) {
        cairo_move_to(cr, bx, by + i * 5);
        cairo_line_to(cr, bx + 28, by + i * 5);
    }
    cairo_rectangle(cr, bx, by, 28, 20);
    cairo_stroke(cr);

    // Envelope: round on top, narrowing to the mouth above the basket.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, kPi * 0.85, kPi * 2.15);
    cairo_curve_to(cr, cx + r * 0.8, cy + r * 0.9, cx + 16, cy + r + 6, cx + 12, cy + r + 14);
    cairo_line_to(cr, cx - 12, cy + r + 14);
    cairo_curve_to(cr, cx - 16, cy + r + 6, cx - r * 0.8, cy + r * 0.9, cx - r * 0.97,
                   cy + r * 0.15);
    cairo_close_path(cr);
    cairo_clip_preserve(cr);
    const Colour gores[] = {{0.86, 0.12, 0.16}, {1.0, 0.82, 0.10},  {0.10, 0.45, 0.85},
                            {0.15, 0.68, 0.30}, {0.98, 0.52, 0.08}, {0.55, 0.22, 0.70}};
    // Gores narrow towards the sides, as on a sphere seen from the front.
    for (int i = 0; i < 12; ++i) {
        const double a0 = -kPi / 2 + kPi * i / 12;
        const double a1 = -kPi / 2 + kPi * (i + 1) / 12;
        setColour(cr, gores[i % 6]);
        cairo_rectangle(cr, cx + r * std::sin(a0), cy - r - 2, r * (std::sin(a1) - std::sin(a0)),
                        2 * r + 20);
        cairo_fill(cr);
    }
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx - 18, cy - 22, 6, cx, cy, r * 1.3);
    cairo_pattern_add_color_stop_rgba(shade, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(shade, 0.55, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0.1, 0.35);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
}

void tree(cairo_t* cr, double x, double ground, double size, std::uint32_t seed) {
    setColour(cr, {0.42, 0.27, 0.14});
    cairo_rectangle(cr, x - size * 0.09, ground - size * 0.9, size * 0.18, size * 0.9);
    cairo_fill(cr);
    const double cy = ground - size * 1.25;
    setColour(cr, {0.12, 0.40, 0.16});
    circle(cr, x, cy, size * 0.6);
    circle(cr, x - size * 0.42, cy + size * 0.22, size * 0.42);
    circle(cr, x + size * 0.42, cy + size * 0.2, size * 0.45);
    cairo_fill(cr);
    // Leaves: lighter on the sunny upper right, darker underneath.
    Scatter scatter(seed);
    for (int i = 0; i < 40; ++i) {
        const double angle = scatter.between(0, 2 * kPi);
        const double dist = std::sqrt(scatter.next()) * size * 0.55;
        const double lx = x + std::cos(angle) * dist * 1.25;
        const double ly = cy + std::sin(angle) * dist;
        const double light = 0.5 + 0.5 * ((lx - x) - (ly - cy)) / size;
        setColour(cr, {0.16 + 0.22 * light, 0.45 + 0.25 * light, 0.14 + 0.08 * light}, 0.85);
        circle(cr, lx, ly, size * scatter.between(0.07, 0.13));
        cairo_fill(cr);
    }
}

void pine(cairo_t* cr, double x, double ground, double size) {
    setColour(cr, {0.36, 0.22, 0.12});
    cairo_rectangle(cr, x - size * 0.06, ground - size * 0.25, size * 0.12, size * 0.25);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        const double base = ground - size * (0.2 + 0.28 * i);
        const double half = size * (0.42 - 0.1 * i);
        setColour(cr, {0.06 + 0.03 * i, 0.33 + 0.05 * i, 0.20});
        cairo_move_to(cr, x - half, base);
        cairo_line_to(cr, x + half, base);
        cairo_line_to(cr, x, base - size * 0.45);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void house(cairo_t* cr) {
    // Walls and roof with dark outlines: hard edges that every film look treats differently.
    setColour(cr, {0.97, 0.94, 0.86});
    cairo_rectangle(cr, 320, 330, 110, 85);
    cairo_fill(cr);
    setColour(cr, {0.55, 0.18, 0.12});
    cairo_rectangle(cr, 400, 282, 14, 34);
    cairo_fill(cr);
    setColour(cr, {0.80, 0.16, 0.12});
    cairo_move_to(cr, 306, 334);
    cairo_line_to(cr, 375, 282);
    cairo_line_to(cr, 444, 334);
    cairo_close_path(cr);
    cairo_fill_preserve(cr);
    setColour(cr, {0.30, 0.08, 0.06});
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    // Roof tiles.
    cairo_set_line_width(cr, 1);
    setColour(cr, {0.55, 0.10, 0.08});
    for (int i = 1; i < 4; ++i) {
        const double y = 282 + 13 * i;
        const double half = 69 * (y - 282) / 52;
        cairo_move_to(cr, 375 - half, y);
        cairo_line_to(cr, 375 + half, y);
    }
    cairo_stroke(cr);
    setColour(cr, {0.25, 0.22, 0.20});
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 320, 330, 110, 85);
    cairo_stroke(cr);
    // Door and windows with crossbars.
    setColour(cr, {0.10, 0.32, 0.62});
    cairo_rectangle(cr, 362, 368, 26, 47);
    cairo_fill(cr);
    setColour(cr, {0.95, 0.80, 0.25});
    circle(cr, 383, 393, 2.2);
    cairo_fill(cr);
    for (double wx : {331.0, 401.0}) {
        setColour(cr, {0.55, 0.78, 0.95});
        cairo_rectangle(cr, wx, 345, 20, 22);
        cairo_fill(cr);
        setColour(cr, {0.98, 0.98, 0.98});
        cairo_set_line_width(cr, 2.5);
        cairo_rectangle(cr, wx, 345, 20, 22);
        cairo_move_to(cr, wx + 10, 345);
        cairo_line_to(cr, wx + 10, 367);
        cairo_move_to(cr, wx, 356);
        cairo_line_to(cr, wx + 20, 356);
        cairo_stroke(cr);
    }
}

void text(cairo_t* cr, const char* s, double centreX, double baseline, double capHeight, Colour c) {
    setColour(cr, c);
    SceneLettering::paint(cr, s, centreX, baseline, capHeight);
}

void lemonadeStand(cairo_t* cr) {
    // Posts, counter with planks, and a sign: strong edges and letters.
    setColour(cr, {0.55, 0.36, 0.18});
    cairo_rectangle(cr, 42, 398, 8, 82);
    cairo_rectangle(cr, 192, 398, 8, 82);
    cairo_fill(cr);
    setColour(cr, {0.80, 0.58, 0.32});
    cairo_rectangle(cr, 36, 452, 170, 66);
    cairo_fill(cr);
    setColour(cr, {0.52, 0.33, 0.16});
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < 4; ++i) {
        cairo_move_to(cr, 36, 452 + i * 16.5);
        cairo_line_to(cr, 206, 452 + i * 16.5);
    }
    cairo_rectangle(cr, 36, 452, 170, 66);
    cairo_stroke(cr);
    setColour(cr, {0.99, 0.97, 0.90});
    cairo_rectangle(cr, 52, 462, 138, 44);
    cairo_fill(cr);
    text(cr, "LEMONADE", 121, 483, 15, {0.10, 0.25, 0.60});
    text(cr, "FRESH . 25c", 121, 500, 9, {0.80, 0.15, 0.15});
    // Jars of lemonade on the counter.
    for (int i = 0; i < 3; ++i) {
        const double x = 68 + i * 40;
        setColour(cr, {1.0, 0.86, 0.20}, 0.9);
        cairo_rectangle(cr, x, 430, 18, 22);
        cairo_fill(cr);
        setColour(cr, {1, 1, 1}, 0.6);
        cairo_rectangle(cr, x + 3, 432, 3, 17);
        cairo_fill(cr);
        setColour(cr, {0.95, 0.95, 0.35});
        circle(cr, x + 14, 430, 5);
        cairo_fill(cr);
    }
    // Striped awning with a scalloped edge.
    const Colour stripes[] = {{0.90, 0.14, 0.18}, {0.99, 0.97, 0.94}};
    for (int i = 0; i < 8; ++i) {
        const double x0 = 30 + i * 22.75;
        setColour(cr, stripes[i % 2]);
        cairo_move_to(cr, 58 + i * 15.75, 372);
        cairo_line_to(cr, 58 + (i + 1) * 15.75, 372);
        cairo_line_to(cr, x0 + 22.75, 400);
        cairo_line_to(cr, x0, 400);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_arc(cr, x0 + 11.375, 400, 11.375, 0, kPi);
        cairo_fill(cr);
    }
}

// Flowers from row top (inclusive) to row bottom, in scene units: those behind the people's
// feet are painted before them, the nearer ones after.
void flowers(cairo_t* cr, double top, double bottom) {
    const Colour petals[] = {{0.92, 0.12, 0.20}, {1.0, 0.55, 0.75},  {1.0, 0.85, 0.10},
                             {0.98, 0.98, 0.98}, {0.58, 0.30, 0.85}, {1.0, 0.50, 0.10}};
    Scatter scatter(7);
    for (int i = 0; i < 150; ++i) {
        const double y = scatter.between(505, 640);
        const double x = scatter.between(-5, 485);
        const double size = 2.0 + (y - 505) / 135 * 4.5;
        const Colour petal = petals[static_cast<int>(scatter.next() * 6) % 6];
        if (y < top || y >= bottom)
            continue;
        setColour(cr, petal);
        for (int p = 0; p < 5; ++p) {
            const double a = 2 * kPi * p / 5;
            circle(cr, x + std::cos(a) * size, y + std::sin(a) * size * 0.8, size * 0.75);
        }
        cairo_fill(cr);
        setColour(cr, {0.98, 0.78, 0.15});
        circle(cr, x, y, size * 0.55);
        cairo_fill(cr);
    }
}

void grassBlades(cairo_t* cr) {
    Scatter scatter(11);
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 260; ++i) {
        const double x = scatter.between(0, 480);
        const double y = scatter.between(430, 640);
        const double h = 4 + (y - 430) / 210 * 10;
        setColour(cr, {0.18, 0.45 + scatter.next() * 0.2, 0.12}, 0.8);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + scatter.between(-3, 3), y - h);
        cairo_stroke(cr);
    }
}

} // namespace

void ScenePainter::paintSky(cairo_t* cr) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 360);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.16, 0.40, 0.82);
    cairo_pattern_add_color_stop_rgb(sky, 0.65, 0.52, 0.76, 0.96);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.98, 0.88, 0.70);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);

    // Distant mountains, hazy blue-violet with snow on the highest peak.
    setColour(cr, {0.50, 0.52, 0.74});
    cairo_move_to(cr, 0, 340);
    cairo_line_to(cr, 40, 300);
    cairo_line_to(cr, 95, 318);
    cairo_line_to(cr, 170, 262);
    cairo_line_to(cr, 235, 310);
    cairo_line_to(cr, 300, 285);
    cairo_line_to(cr, 380, 322);
    cairo_line_to(cr, 480, 290);
    cairo_line_to(cr, 480, 380);
    cairo_line_to(cr, 0, 380);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, {0.97, 0.97, 1.0});
    cairo_move_to(cr, 170, 262);
    cairo_line_to(cr, 190, 277);
    cairo_line_to(cr, 178, 274);
    cairo_line_to(cr, 168, 282);
    cairo_line_to(cr, 158, 273);
    cairo_line_to(cr, 150, 277);
    cairo_close_path(cr);
    cairo_fill(cr);
}

namespace {

struct Drift {
    double start, y, size, speed;
};
constexpr Drift kClouds[] = {{40, 105, 1.1, 7}, {300, 215, 0.8, 11}, {520, 60, 0.9, 5}};

double sunY(double t) {
    return 150 + 4 * wave(t, 8);
}

} // namespace

ScenePainter::Place ScenePainter::placeOf(SkyPart part, double t) {
    switch (part) {
    case SkyPart::Sun:
        return {380, sunY(t)};
    case SkyPart::Balloon:
        return {130 + 10 * wave(t, 13), 190 + 12 * wave(t, 5.5)};
    case SkyPart::Cloud0:
    case SkyPart::Cloud1:
    case SkyPart::Cloud2: {
        const Drift& c = kClouds[int(part) - int(SkyPart::Cloud0)];
        const double span = kWidth + 200;
        const double x = std::fmod(c.start + c.speed * t, span);
        return {(x < 0 ? x + span : x) - 100, c.y};
    }
    }
    return {0, 0};
}

ScenePainter::Box ScenePainter::boundsOf(SkyPart part) {
    switch (part) {
    case SkyPart::Sun:
        return {-37, -37, 37, 37};
    case SkyPart::Balloon:
        // The ropes and the basket hang below the envelope; its gores reach 2 above it.
        return {-50, -51, 50, 103};
    case SkyPart::Cloud0:
    case SkyPart::Cloud1:
    case SkyPart::Cloud2: {
        const double size = kClouds[int(part) - int(SkyPart::Cloud0)].size;
        return {-53 * size, -33 * size, 52 * size, 25 * size};
    }
    }
    return {0, 0, 0, 0};
}

void ScenePainter::paintPart(cairo_t* cr, SkyPart part) {
    switch (part) {
    case SkyPart::Sun:
        sunDisc(cr);
        break;
    case SkyPart::Balloon:
        hotAirBalloon(cr);
        break;
    case SkyPart::Cloud0:
    case SkyPart::Cloud1:
    case SkyPart::Cloud2:
        cloud(cr, kClouds[int(part) - int(SkyPart::Cloud0)].size);
        break;
    }
}

void ScenePainter::paintMovingSky(cairo_t* cr, double t) {
    paintMovingSky(cr, t, [cr](SkyPart part, Place place) {
        cairo_save(cr);
        cairo_translate(cr, place.x, place.y);
        paintPart(cr, part);
        cairo_restore(cr);
    });
}

void ScenePainter::paintMovingSky(cairo_t* cr, double t,
                                  const std::function<void(SkyPart, Place)>& paintAt) {
    const Place sun = placeOf(SkyPart::Sun, t);
    sunGlow(cr, sun.x, sun.y, t);
    paintAt(SkyPart::Sun, sun);
    for (SkyPart c : {SkyPart::Cloud0, SkyPart::Cloud1, SkyPart::Cloud2})
        paintAt(c, placeOf(c, t));
    // A small flock crossing the sky, flapping out of step.
    const double flockX = std::fmod(30 + 14 * t, kWidth + 120) - 60;
    setColour(cr, {0.15, 0.15, 0.22});
    cairo_set_line_width(cr, 1.8);
    const double offsets[][2] = {{0, 0}, {-18, 9}, {16, 12}, {-30, -6}};
    for (int i = 0; i < 4; ++i)
        bird(cr, flockX + offsets[i][0], 128 + offsets[i][1] + 3 * wave(t, 4),
             wave(t, 0.6, i * 0.23));
    cairo_stroke(cr);
    paintAt(SkyPart::Balloon, placeOf(SkyPart::Balloon, t));
}

void ScenePainter::paintLand(cairo_t* cr) {
    // Rolling hills from the back to the front.
    setColour(cr, {0.42, 0.66, 0.30});
    cairo_move_to(cr, 0, 356);
    cairo_curve_to(cr, 90, 330, 170, 338, 250, 354);
    cairo_curve_to(cr, 330, 370, 410, 340, 480, 348);
    cairo_line_to(cr, 480, 640);
    cairo_line_to(cr, 0, 640);
    cairo_close_path(cr);
    cairo_fill(cr);
    pine(cr, 28, 356, 46);
    pine(cr, 60, 350, 38);
    pine(cr, 452, 350, 42);
    tree(cr, 208, 360, 34, 3);
    house(cr);

    cairo_pattern_t* meadow = cairo_pattern_create_linear(0, 400, 0, 640);
    cairo_pattern_add_color_stop_rgb(meadow, 0, 0.36, 0.62, 0.20);
    cairo_pattern_add_color_stop_rgb(meadow, 1, 0.22, 0.48, 0.14);
    cairo_set_source(cr, meadow);
    cairo_move_to(cr, 0, 410);
    cairo_curve_to(cr, 120, 392, 300, 420, 480, 404);
    cairo_line_to(cr, 480, 640);
    cairo_line_to(cr, 0, 640);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(meadow);

    // A sandy path winding to the house.
    setColour(cr, {0.90, 0.78, 0.55});
    cairo_move_to(cr, 365, 415);
    cairo_curve_to(cr, 380, 460, 300, 520, 330, 640);
    cairo_line_to(cr, 430, 640);
    cairo_curve_to(cr, 380, 520, 420, 460, 385, 415);
    cairo_close_path(cr);
    cairo_fill(cr);

    tree(cr, 440, 470, 52, 5);
    grassBlades(cr);
    lemonadeStand(cr);
    // Feet stand on row 544: flowers above it are behind the people, the rest in front.
    flowers(cr, 0, 544);
    SceneFigures::paintPeople(cr);
    flowers(cr, 544, kHeight);
}

void ScenePainter::paintMovingLand(cairo_t* cr, double t) {
    SceneFigures::paintMovingPeople(cr, t);

    // A pennant on the awning flutters in the breeze.
    const double flutter = 6 * wave(t, 0.9);
    setColour(cr, {0.55, 0.36, 0.18});
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 121, 372);
    cairo_line_to(cr, 121, 340);
    cairo_stroke(cr);
    setColour(cr, {0.10, 0.45, 0.85});
    cairo_move_to(cr, 121, 340);
    cairo_curve_to(cr, 132, 340 + flutter * 0.5, 140, 344 - flutter * 0.5, 150, 346 + flutter);
    cairo_line_to(cr, 121, 354);
    cairo_close_path(cr);
    cairo_fill(cr);
}

} // namespace platform
