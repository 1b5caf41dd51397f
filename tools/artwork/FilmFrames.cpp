#include "FilmFrames.h"

#include "FilmFrameFamilies.h"
#include "FrameShape.h"
#include "Paint.h"

namespace artwork {

const char* filmFamilyStem(FilmFamily family) {
    switch (family) {
    case FilmFamily::Normal:
        return "film_normal";
    case FilmFamily::Rainbow:
        return "film_rainbow";
    case FilmFamily::Vintage:
        return "film_vintage";
    case FilmFamily::Color:
        return "film_color";
    }
    return "film_normal";
}

Canvas drawFilmFrame(FilmFamily family, int frame, int side, const Fonts& fonts) {
    const FrameShape shape(frame, side);
    switch (family) {
    case FilmFamily::Rainbow:
        return drawRainbowFrame(shape, fonts);
    case FilmFamily::Vintage:
        return drawVintageFrame(shape, fonts);
    case FilmFamily::Color:
        return drawColorFrame(shape, fonts);
    case FilmFamily::Normal:
        break;
    }
    return drawNormalFrame(shape, fonts);
}

Canvas drawMiniFrame(int frame, int side) {
    const FrameShape shape(frame, side);
    Canvas canvas(side, side);
    cairo_t* cr = canvas.cr();
    const double unit = side / 320.0;

    // A faint veil where the border will cover the picture, so its extent reads at a glance.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, side, side);
    shape.window().addPath(cr);
    setColor(cr, {1, 1, 1, 0.45});
    cairo_fill(cr);
    // Sprocket holes brighter than the strip: they are part of the border, not of the window.
    for (const RoundedBox& hole : shape.holes()) {
        hole.addPath(cr);
    }
    setColor(cr, {1, 1, 1, 0.5});
    cairo_fill(cr);

    // Crisp lines along the window and the holes, drawn just inside the border.
    cairo_set_line_width(cr, 2 * unit);
    const RoundedBox& w = shape.window();
    RoundedBox line{w.x0 - unit, w.y0 - unit, w.x1 + unit, w.y1 + unit, w.radius + unit};
    line.addPath(cr);
    setColor(cr, {1, 1, 1, 1});
    cairo_stroke(cr);
    if (shape.hasStrip()) {
        cairo_set_line_width(cr, 1 * unit);
        for (const RoundedBox& hole : shape.holes()) {
            hole.addPath(cr);
        }
        const RoundedBox& s = shape.strip();
        RoundedBox edge{s.x0 + unit / 2, s.y0 + unit / 2, s.x1 - unit / 2, s.y1 - unit / 2, 0};
        edge.addPath(cr);
        setColor(cr, {1, 1, 1, 0.9});
        cairo_stroke(cr);
    }
    return canvas;
}

} // namespace artwork
