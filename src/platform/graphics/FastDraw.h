#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GridColor.h"

#include <cairo.h>

namespace platform {

class Image;

// What a fast path needs to know of the context it draws into.
struct DrawTarget {
    cairo_t* cr = nullptr;
    cairo_surface_t* surface = nullptr;
    AffineTransform ctm;
    BlendMode mode = BlendMode::Normal;
    // The context's constant alpha, already folded into a fill's colour.
    double alpha = 1;
    // Nothing has been drawn yet: every pixel is still the transparent black it was made with.
    bool blank = false;
};

// The shortcuts a context takes for the steps prints are made of, each chosen by what the
// step is and each giving what Cairo would give (bit for bit, or within one step where float
// arithmetic stands in for Cairo's integers). A step the shortcuts do not cover returns false
// and is drawn by Cairo as before:
// - a fill of whole pixels under a PDF blend mode: per-channel tables, or float loops for the
//   modes that mix channels;
// - a picture drawn pixel for pixel (moved, flipped or turned by quarter turns) under
//   normal, copy, source-atop, screen, overlay, hard light or an HSL mode: row loops, and a
//   plain row copy onto a blank context;
// - a picture shrunk by more than a third on an axis-aligned mapping: an area average, then
//   drawn pixel for pixel as above.
// All of them draw only where the rectangle covers whole pixels and the clip, if any, is one
// rectangle, with no group pushed on the Cairo context.
class FastDraw {
public:
    static bool fillRect(const DrawTarget& target, const Rect& rect, const GridColor& color);
    // userToPixel maps drawing coordinates into the picture's stored pixels.
    static bool drawImage(const DrawTarget& target, const Rect& rect,
                          const AffineTransform& userToPixel, const Image& image);
};

} // namespace platform
