#include "FilmFrameFamilies.h"
#include "Noise.h"
#include "PixelPainting.h"

#include <cmath>
#include <vector>

namespace artwork {

namespace {

const Color kCream{0.925, 0.875, 0.755};
const Color kStain{0.50, 0.33, 0.16};
const Color kAgedBase{0.17, 0.115, 0.075};

struct Stain {
    double x, y, radius, ring, strength;
};

std::vector<Stain> stainsFor(int frame, double side) {
    Random random(0x5EA1u + static_cast<unsigned>(frame) * 7919u);
    std::vector<Stain> stains;
    for (int i = 0; i < 6; ++i) {
        // Stains sit near the edges, where fingers and damp reach a print.
        const double edge = random.uniform();
        const double along = random.uniform(0.05, 0.95);
        const double depth = random.uniform(-0.02, 0.06);
        double x = along;
        double y = depth;
        if (edge < 0.25) {
            std::swap(x, y);
        } else if (edge < 0.5) {
            y = 1 - depth;
        } else if (edge < 0.75) {
            x = 1 - depth;
            y = along;
        }
        stains.push_back({x * side, y * side, random.uniform(0.025, 0.075) * side,
                          random.uniform(0.002, 0.006) * side, random.uniform(0.06, 0.14)});
    }
    return stains;
}

} // namespace

// Laid down with source-atop, which over an opaque print is a plain draw: aged cream paper
// with stains and a worn, uneven inner edge, and a faint warm wash and dim corners over the
// picture itself.
Canvas drawVintageFrame(const FrameShape& shape, const Fonts& fonts) {
    const double s = shape.side();
    const double px = s / 1500.0;
    const unsigned seed = 700u + static_cast<unsigned>(shape.frame());
    const std::vector<Stain> stains = stainsFor(shape.frame(), s);
    const RoundedBox& w = shape.window();
    const double wcx = (w.x0 + w.x1) / 2;
    const double wcy = (w.y0 + w.y1) / 2;
    auto stainAt = [&](double x, double y) {
        double amount = 0;
        for (const Stain& stain : stains) {
            const double dx = x - stain.x;
            const double dy = y - stain.y;
            const double reach = stain.radius * 1.2 + 4 * stain.ring;
            if (dx * dx + dy * dy > reach * reach) {
                continue;
            }
            // A dried ring is never round: its radius wanders with the angle.
            const double angle = std::atan2(dy, dx);
            const double wander = valueNoise(std::cos(angle) * 2.2 + stain.x / s * 50,
                                             std::sin(angle) * 2.2, seed + 21);
            const double radius = stain.radius * (0.82 + 0.36 * wander);
            const double r = std::sqrt(dx * dx + dy * dy);
            const double ring = (r - radius) / stain.ring;
            const double inside = 0.35 * smoothstep(radius, radius * 0.6, r);
            amount += stain.strength * (std::exp(-ring * ring) + inside);
        }
        if (amount > 0) {
            // Dried stains are blotchy, not even.
            amount *= 0.6 + 0.8 * valueNoise(x / s * 40, y / s * 40, seed + 3);
        }
        return amount;
    };

    // Aged paper, or the film strip laid on it, at a pixel outside the picture.
    auto paperAt = [&](double x, double y, double wobble, double stain) {
        const double u = x / s;
        const double v = y / s;
        const double mottle = fractalNoise(u * 6, v * 6, 4, seed + 31) - 0.5;
        const double grain = valueNoise(x / (1.8 * px), y / (1.8 * px), seed + 57) - 0.5;
        Color paper = shade(kCream, 0.10 * mottle + 0.035 * grain);
        // Yellowed, darker toward the outer edge.
        const double edge = shape.edgeDistance(x, y) / s;
        paper = mix(paper, {0.72, 0.56, 0.33}, 0.45 * std::exp(-edge / 0.018));
        if (shape.hasStrip()) {
            const double inStrip = coverage(shape.strip().distance(x, y) + wobble * 0.3);
            const double inHole = coverage(shape.holeDistance(x, y));
            const Color base = shade(kAgedBase, 0.12 * mottle);
            paper = mix(paper, base, inStrip * (1 - inHole));
        }
        return withAlpha(mix(paper, kStain, std::min(stain, 0.6)), 1);
    };

    // Over the picture: a warm wash, a little stain, and corners that fade to brown.
    auto washAt = [&](double x, double y, double stain) {
        const double dx = (x - wcx) / ((w.x1 - w.x0) / 2);
        const double dy = (y - wcy) / ((w.y1 - w.y0) / 2);
        const double reach = std::min(1.0, std::sqrt(dx * dx + dy * dy) / 1.414);
        const Color wash{1.0, 0.80, 0.52, 0.09 + 0.30 * reach * reach * reach};
        return mix(wash, withAlpha(kStain, wash.a + 0.5 * stain), std::min(1.0, stain));
    };

    Canvas canvas = paintPixels(static_cast<int>(s), static_cast<int>(s), [&](double x, double y) {
        // The worn edge wanders by a few pixels: the window was never cut by a machine. The
        // noise is worked out only near the edge; deep inside the window no paper shows.
        const double d = shape.windowDistance(x, y);
        double wobble = 0;
        if (std::fabs(d) < 8 * px || shape.hasStrip()) {
            wobble = (fractalNoise(x / s * 18, y / s * 18, 3, seed) - 0.5) * 14 * px;
        }
        const double inWindow = coverage(d + wobble);
        const double stain = stainAt(x, y);
        const Color wash = washAt(x, y, stain);
        if (inWindow >= 1) {
            return wash;
        }
        return mix(paperAt(x, y, wobble, stain), wash, inWindow);
    });

    // Scratches: long faint hairlines, light on the paper and a few across the picture.
    cairo_t* cr = canvas.cr();
    Random random(0xC0FFEEu + static_cast<unsigned>(shape.frame()));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 14; ++i) {
        const double x0 = random.uniform(0, s);
        const double y0 = random.uniform(0, s);
        const double angle = random.uniform(1.2, 1.9);
        const double length = random.uniform(0.08, 0.45) * s;
        const bool light = random.uniform() < 0.5;
        cairo_move_to(cr, x0, y0);
        cairo_rel_curve_to(cr, length * 0.3 * std::cos(angle), length * 0.3 * std::sin(angle),
                           length * 0.7 * std::cos(angle + 0.05),
                           length * 0.7 * std::sin(angle + 0.05), length * std::cos(angle + 0.08),
                           length * std::sin(angle + 0.08));
        cairo_set_line_width(cr, random.uniform(1.0, 2.4) * px);
        setColor(cr, light ? Color{1, 0.97, 0.9, 0.22} : Color{0.35, 0.24, 0.12, 0.16});
        cairo_stroke(cr);
    }
    drawStripLettering(canvas, shape, fonts, {0.85, 0.62, 0.30, 0.55});
    return canvas;
}

} // namespace artwork
