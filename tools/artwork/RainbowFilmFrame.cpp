#include "FilmFrameFamilies.h"
#include "PixelPainting.h"

#include <cmath>
#include <vector>

namespace artwork {

namespace {

// One streak of light that leaked onto the film: it comes in at an edge point, travels in a
// direction and fades; across its width it splits into a spectrum.
struct Leak {
    double ox, oy; // where it enters, in print fractions
    double angle;  // direction of travel, radians
    double width;  // half width, print fraction
    double length; // fade length, print fraction
    double hue;    // hue at the streak's centre line
    double strength;
    double cos = std::cos(angle);
    double sin = std::sin(angle);
};

// A warm glow spreading from a corner or edge.
struct Glow {
    double ox, oy, radius;
    Color color;
};

struct LeakSet {
    std::vector<Leak> leaks;
    std::vector<Glow> glows;
};

LeakSet leaksFor(int frame) {
    switch (frame) {
    case 0:
        return {
            {{0.0, 0.78, -0.55, 0.11, 0.9, 0.02, 0.95}, {0.0, 0.95, -0.40, 0.05, 0.6, 0.6, 0.6}},
            {{0.0, 1.0, 0.55, {1.0, 0.35, 0.05}}, {1.0, 0.0, 0.25, {0.9, 0.2, 0.5}}}};
    case 1:
        return {{{1.0, 0.05, 2.35, 0.10, 0.95, 0.85, 0.9}, {1.0, 0.30, 2.6, 0.04, 0.5, 0.3, 0.55}},
                {{1.0, 0.0, 0.5, {1.0, 0.45, 0.1}}, {0.0, 1.0, 0.3, {0.6, 0.1, 0.8}}}};
    default:
        return {{{0.0, 0.12, 0.05, 0.035, 1.2, 0.1, 0.8},
                 {1.0, 0.88, M_PI + 0.05, 0.035, 1.2, 0.6, 0.8}},
                {{1.0, 0.5, 0.45, {1.0, 0.3, 0.05}}, {0.0, 0.5, 0.25, {0.95, 0.7, 0.1}}}};
    }
}

Color screen(Color a, Color b) {
    return {1 - (1 - a.r) * (1 - b.r), 1 - (1 - a.g) * (1 - b.g), 1 - (1 - a.b) * (1 - b.b), 1};
}

} // namespace

// Laid down in screen mode: the black ground leaves the print untouched, every bit of light in
// this picture brightens it. The border is near white, so it prints as a light border whatever
// the picture below, and the leaks cross border and window alike.
Canvas drawRainbowFrame(const FrameShape& shape, const Fonts& fonts) {
    const double s = shape.side();
    const LeakSet set = leaksFor(shape.frame());
    Canvas canvas = paintPixels(static_cast<int>(s), static_cast<int>(s), [&](double x, double y) {
        const double u = x / s;
        const double v = y / s;
        const double inWindow = coverage(shape.windowDistance(x, y));

        double border = 0.98;
        if (shape.hasStrip()) {
            const double inStrip = coverage(shape.strip().distance(x, y));
            const double inHole = coverage(shape.holeDistance(x, y));
            // A light-struck strip: the band lets a pale picture through, the holes are white.
            border = 0.93 - 0.38 * inStrip * (1 - inHole) + 0.07 * inHole;
        }
        const double g = border * (1 - inWindow);
        Color c{g, g, g, 1};

        Color light{0, 0, 0, 1};
        for (const Leak& leak : set.leaks) {
            const double dx = u - leak.ox;
            const double dy = v - leak.oy;
            const double along = dx * leak.cos + dy * leak.sin;
            const double across = -dx * leak.sin + dy * leak.cos;
            const double t = across / leak.width;
            if (along < -0.05 || std::fabs(t) > 4) {
                continue;
            }
            const double fall = std::exp(-std::max(along, 0.0) / leak.length);
            const double strength = leak.strength * std::exp(-t * t) * fall;
            const Color hue = hueColor(leak.hue + 0.28 * t);
            light = screen(light, {hue.r * strength, hue.g * strength, hue.b * strength, 1});
        }
        for (const Glow& glow : set.glows) {
            const double r = std::hypot(u - glow.ox, v - glow.oy) / glow.radius;
            const double strength = std::exp(-r * r) * 0.85;
            light = screen(light, {glow.color.r * strength, glow.color.g * strength,
                                   glow.color.b * strength, 1});
        }
        return screen(c, light);
    });
    drawStripLettering(canvas, shape, fonts, {1, 1, 1, 1});
    return canvas;
}

} // namespace artwork
