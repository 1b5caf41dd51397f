#include "platform/camera/SceneLettering.h"

#include <cairo.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace platform {

namespace {

// Glyphs on a grid 4 wide and 6 high, y down from the cap line; each is a few polylines.
struct Stroke {
    std::vector<std::pair<double, double>> points;
};

const std::vector<Stroke>* glyph(char letter) {
    static const std::vector<Stroke> A{{{{0, 6}, {2, 0}, {4, 6}}}, {{{0.7, 4}, {3.3, 4}}}};
    static const std::vector<Stroke> D{
        {{{0, 0}, {0, 6}, {2.5, 6}, {4, 4.5}, {4, 1.5}, {2.5, 0}, {0, 0}}}};
    static const std::vector<Stroke> E{{{{4, 0}, {0, 0}, {0, 6}, {4, 6}}}, {{{0, 3}, {3, 3}}}};
    static const std::vector<Stroke> F{{{{4, 0}, {0, 0}, {0, 6}}}, {{{0, 3}, {3, 3}}}};
    static const std::vector<Stroke> H{{{{0, 0}, {0, 6}}}, {{{4, 0}, {4, 6}}}, {{{0, 3}, {4, 3}}}};
    static const std::vector<Stroke> L{{{{0, 0}, {0, 6}, {4, 6}}}};
    static const std::vector<Stroke> M{{{{0, 6}, {0, 0}, {2, 3.5}, {4, 0}, {4, 6}}}};
    static const std::vector<Stroke> N{{{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}};
    static const std::vector<Stroke> O{
        {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}};
    static const std::vector<Stroke> R{{{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}},
                                       {{{2, 3}, {4, 6}}}};
    static const std::vector<Stroke> S{{{{4, 1},
                                         {3, 0},
                                         {1, 0},
                                         {0, 1},
                                         {0, 2},
                                         {1, 3},
                                         {3, 3},
                                         {4, 4},
                                         {4, 5},
                                         {3, 6},
                                         {1, 6},
                                         {0, 5}}}};
    static const std::vector<Stroke> two{
        {{{0, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 2}, {0, 6}, {4, 6}}}};
    static const std::vector<Stroke> five{
        {{{4, 0}, {0, 0}, {0, 3}, {3, 3}, {4, 4}, {4, 5}, {3, 6}, {1, 6}, {0, 5}}}};
    static const std::vector<Stroke> cent{
        {{{4, 2.5}, {3, 2}, {1, 2}, {0, 3}, {0, 5}, {1, 6}, {3, 6}, {4, 5.5}}}, {{{2, 1}, {2, 7}}}};
    static const std::vector<Stroke> dot{{{{2, 3}, {2, 3}}}};
    switch (letter) {
    case 'A':
        return &A;
    case 'D':
        return &D;
    case 'E':
        return &E;
    case 'F':
        return &F;
    case 'H':
        return &H;
    case 'L':
        return &L;
    case 'M':
        return &M;
    case 'N':
        return &N;
    case 'O':
        return &O;
    case 'R':
        return &R;
    case 'S':
        return &S;
    case '2':
        return &two;
    case '5':
        return &five;
    case 'c':
        return &cent;
    case '.':
        return &dot;
    default:
        return nullptr;
    }
}

constexpr double kAdvance = 5.8; // grid units from one letter to the next
constexpr double kLetterWidth = 4;

} // namespace

double SceneLettering::width(std::string_view text, double capHeight) {
    if (text.empty())
        return 0;
    return ((text.size() - 1) * kAdvance + kLetterWidth) * capHeight / 6;
}

void SceneLettering::paint(cairo_t* cr, std::string_view text, double centreX, double baseline,
                           double capHeight) {
    const double unit = capHeight / 6;
    double x = centreX - width(text, capHeight) / 2;
    const double top = baseline - capHeight;
    cairo_save(cr);
    cairo_set_line_width(cr, unit * 1.1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (char letter : text) {
        if (const std::vector<Stroke>* strokes = glyph(letter)) {
            for (const Stroke& stroke : *strokes) {
                bool first = true;
                for (const auto& [gx, gy] : stroke.points) {
                    if (first)
                        cairo_move_to(cr, x + gx * unit, top + gy * unit);
                    else
                        cairo_line_to(cr, x + gx * unit, top + gy * unit);
                    first = false;
                }
            }
        }
        x += kAdvance * unit;
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace platform
