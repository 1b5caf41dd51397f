#include "Skin.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artwork {

namespace {

const Skin kSkins[kSkinCount] = {
    // Classic white: warm off-white plastic with graphite panels and a red release.
    {{0.965, 0.955, 0.930},
     {0.860, 0.850, 0.815},
     Texture::Plastic,
     {0.165, 0.165, 0.175},
     {0.92, 0.93, 0.95},
     {0.46, 0.47, 0.51},
     {0.30, 0.30, 0.32},
     {0.90, 0.90, 0.88},
     {0.86, 0.17, 0.12},
     {0.34, 0.35, 0.38},
     {0.10, 0.10, 0.11},
     {0, 0, 0, 0}},
    // Black: pebbled leatherette over a black body, chrome rings, an orange release.
    {{0.200, 0.200, 0.210},
     {0.085, 0.085, 0.095},
     Texture::Leather,
     {0.055, 0.055, 0.060},
     {0.90, 0.91, 0.93},
     {0.36, 0.37, 0.40},
     {0.80, 0.80, 0.78},
     {0.86, 0.86, 0.84},
     {0.95, 0.46, 0.10},
     {0.30, 0.31, 0.34},
     {0.05, 0.05, 0.06},
     {0.78, 0.79, 0.83, 0.50}},
    // Wood: oiled walnut with brass trim and dark bronze panels.
    {{0.560, 0.355, 0.200},
     {0.380, 0.220, 0.115},
     Texture::Wood,
     {0.120, 0.085, 0.060},
     {0.93, 0.80, 0.50},
     {0.50, 0.37, 0.16},
     {0.96, 0.88, 0.70},
     {0.93, 0.84, 0.64},
     {0.70, 0.15, 0.09},
     {0.36, 0.26, 0.16},
     {0.09, 0.06, 0.04},
     {0.90, 0.75, 0.45, 0.55}},
};

double textureFactor(Texture texture, double x, double y, unsigned seed) {
    switch (texture) {
    case Texture::Leather: {
        const double pebble = valueNoise(x / 1.7, y / 1.7, seed) - 0.5;
        const double patch = fractalNoise(x / 14, y / 14, 3, seed + 5) - 0.5;
        return 1 + 0.30 * pebble + 0.10 * patch;
    }
    case Texture::Wood: {
        // Grain runs along the body: rings from a warped distance, fine pores across them.
        const double warp = 7 * fractalNoise(x / 110, y / 18, 3, seed + 9);
        const double t = y * 0.16 + warp + 0.8 * std::sin(x * 0.013);
        const double ring = t - std::floor(t);
        const double band = smoothstep(0.15, 0.85, ring) * smoothstep(1.0, 0.9, ring);
        const double pores = valueNoise(x / 2.5, y / 0.8, seed + 13) - 0.5;
        const double figure = fractalNoise(x / 60, y / 30, 2, seed + 17) - 0.5;
        return 1 - 0.13 * band + 0.06 * pores + 0.12 * figure;
    }
    case Texture::Plastic:
        break;
    }
    return 1 + 0.014 * (valueNoise(x / 1.2, y / 1.2, seed) - 0.5);
}

} // namespace

const Skin& skinAt(int index) {
    return kSkins[index >= 0 && index < kSkinCount ? index : 0];
}

void applyTexture(Canvas& canvas, const Skin& skin, int y0, int y1, unsigned seed) {
    std::uint32_t* pixels = canvas.beginPixels();
    const int stride = canvas.stride();
    for (int y = y0; y < y1 && y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            std::uint32_t& p = pixels[static_cast<std::size_t>(y) * stride + x];
            const double f = textureFactor(skin.texture, x + 0.5, y + 0.5, seed);
            const std::uint32_t alpha = p >> 24;
            auto channel = [&](int shift) {
                const double v = static_cast<double>((p >> shift) & 0xFF) * f;
                return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, double(alpha))));
            };
            p = alpha << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
        }
    }
    canvas.endPixels();
}

void drawMetalRing(cairo_t* cr, const Skin& skin, double cx, double cy, double outer,
                   double inner) {
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, outer, 0, 2 * M_PI);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, inner, 0, 2 * M_PI);
    cairo_pattern_t* metal =
        cairo_pattern_create_linear(cx - outer, cy - outer, cx + outer, cy + outer);
    addStop(metal, 0, skin.trimLight);
    addStop(metal, 0.45, mix(skin.trimLight, skin.trimDark, 0.35));
    addStop(metal, 0.55, skin.trimDark);
    addStop(metal, 1, mix(skin.trimLight, skin.trimDark, 0.4));
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    // A thin dark line where the ring meets what it holds.
    cairo_arc(cr, cx, cy, inner + 0.25, 0, 2 * M_PI);
    cairo_set_line_width(cr, 0.7);
    setColor(cr, {0, 0, 0, 0.45});
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace artwork
