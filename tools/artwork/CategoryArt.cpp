#include "CategoryArt.h"

#include "Paint.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace artwork {

namespace {

struct LookLabel {
    const char* name;
    const char* note;
    Color accent;
};

const std::array<LookLabel, kCategoryCount> kLooks{{
    {"Blue", "cool blue cast", {0.42, 0.62, 1.0}},
    {"Contrast", "deep, punchy tones", {0.88, 0.88, 0.88}},
    {"B&W", "classic black & white", {0.70, 0.70, 0.70}},
    {"Sepia", "warm brown tone", {0.86, 0.66, 0.40}},
    {"Slate", "quiet blue-grey", {0.56, 0.64, 0.80}},
    {"Rainbow", "light leaks", {1.0, 0.55, 0.25}},
    {"Vintage", "aged cream paper", {0.93, 0.80, 0.60}},
    {"Red", "everything in red", {0.96, 0.26, 0.22}},
    {"Color", "bold color cast", {1.0, 0.30, 0.75}},
    {"Green", "fresh green cast", {0.55, 0.86, 0.40}},
}};

constexpr int kWidth = 270;
constexpr int kHeight = 50;

} // namespace

Canvas drawCategory(int number, const Fonts& fonts) {
    const int index = std::clamp(number, 1, kCategoryCount) - 1;
    const LookLabel& look = kLooks[static_cast<std::size_t>(index)];
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();

    // A dark label like the end of a film box: it reads on every skin and lets the little
    // print carry the colour.
    cairo_rectangle(cr, 0, 0, kWidth, kHeight);
    fillVertical(cr, 0, kHeight, {0.19, 0.19, 0.20}, {0.09, 0.09, 0.10});
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, kWidth, 1);
    setColor(cr, {1, 1, 1, 0.10});
    cairo_fill(cr);

    // The little print, with a soft shadow under it.
    const int printSize = 40;
    const double px = 9;
    const double py = 5;
    for (int i = 3; i >= 1; --i) {
        roundedRect(cr, px - i * 0.5 + 1, py - i * 0.5 + 1.5, printSize + i, printSize + i, 1 + i);
        setColor(cr, {0, 0, 0, 0.16});
        cairo_fill(cr);
    }
    const Canvas sample = drawLookSample(number, printSize, fonts);
    cairo_set_source_surface(cr, sample.surface(), px, py);
    cairo_paint(cr);

    // Name, and what the look does in a few words.
    const double tx = 62;
    setColor(cr, {0.97, 0.95, 0.90});
    drawText(cr, fonts.sansBold(), 17, look.name, tx, 25, Align::Left);
    setColor(cr, {0.66, 0.65, 0.62});
    drawText(cr, fonts.sans(), 10, look.note, tx, 40, Align::Left);

    // An accent rule under the name in the look's own colour; the rainbow look gets a spectrum.
    const double nameWidth = textWidth(cr, fonts.sansBold(), 17, look.name);
    cairo_rectangle(cr, tx, 29, std::max(nameWidth, 24.0), 2);
    if (index == 5) {
        cairo_pattern_t* spectrum = cairo_pattern_create_linear(tx, 0, tx + nameWidth, 0);
        for (int i = 0; i <= 6; ++i) {
            addStop(spectrum, i / 6.0, hueColor(i / 7.0));
        }
        cairo_set_source(cr, spectrum);
        cairo_fill(cr);
        cairo_pattern_destroy(spectrum);
    } else {
        setColor(cr, look.accent);
        cairo_fill(cr);
    }

    // Where this page lies among the ten.
    for (int i = 0; i < kCategoryCount; ++i) {
        const double dx = kWidth - 10 - (kCategoryCount - 1 - i) * 5.0 - 1.5;
        cairo_arc(cr, dx, 25, i == index ? 1.8 : 1.1, 0, 2 * M_PI);
        setColor(cr, i == index ? Color{0.95, 0.93, 0.88} : Color{0.45, 0.45, 0.45});
        cairo_fill(cr);
    }
    return canvas;
}

} // namespace artwork
