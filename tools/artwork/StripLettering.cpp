#include "FilmFrameFamilies.h"

#include <string>

namespace artwork {

void drawStripLettering(Canvas& canvas, const FrameShape& shape, const Fonts& fonts, Color ink) {
    if (!shape.hasStrip() || shape.holes().empty()) {
        return;
    }
    cairo_t* cr = canvas.cr();
    const double s = shape.side();
    const RoundedBox& strip = shape.strip();
    const RoundedBox& hole = shape.holes().front();
    const double size = 0.021 * s;
    // Baselines midway in the bands between the paper margin and the holes.
    const double topBase = (strip.y0 + hole.y0) / 2 + size * 0.36;
    const double bottomBase = s - (strip.y0 + hole.y0) / 2 + size * 0.36;

    cairo_save(cr);
    setColor(cr, ink);
    const std::string maker = "MORVANE  100";
    for (double x : {0.10 * s, 0.60 * s}) {
        drawText(cr, fonts.sansBold(), size, maker, x, topBase, Align::Left, size * 0.12);
    }
    // Frame numbers with the small arrow that points the way the film runs.
    const int number = 12 + shape.frame();
    const std::string main = std::to_string(number);
    const std::string half = main + "A";
    for (auto [x, text] : {std::pair{0.22 * s, main}, std::pair{0.53 * s, half},
                           std::pair{0.84 * s, std::to_string(number + 1)}}) {
        drawText(cr, fonts.sansBold(), size, text, x, bottomBase, Align::Centre, size * 0.05);
        const double ax = x + 0.045 * s;
        const double ay = bottomBase - size * 0.36;
        cairo_move_to(cr, ax - size * 0.3, ay - size * 0.33);
        cairo_line_to(cr, ax + size * 0.3, ay);
        cairo_line_to(cr, ax - size * 0.3, ay + size * 0.33);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

} // namespace artwork
