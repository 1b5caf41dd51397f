#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/BlendTables.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GridColor.h"
#include "platform/graphics/HslBlend.h"
#include "platform/graphics/Image.h"

#include <cairo.h>

#include <memory>
#include <optional>

namespace platform {

// A box of whole device pixels, [x0, x1) × [y0, y1).
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    PixelBox intersection(const PixelBox& o) const {
        return {o.x0 > x0 ? o.x0 : x0, o.y0 > y0 ? o.y0 : y0, o.x1 < x1 ? o.x1 : x1,
                o.y1 < y1 ? o.y1 : y1};
    }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// What a fast path needs to know of the context it draws into.
struct DrawTarget {
    cairo_t* cr = nullptr;
    cairo_surface_t* surface = nullptr;
    AffineTransform ctm;
    BlendMode mode = BlendMode::Normal;
    // The context's constant alpha, already folded into a fill's colour.
    double alpha = 1;
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
//
// A context owns one of these, and with it work held back until the pixels are needed, so
// that a look's few steps cost as few passes over memory as they can:
// - while the whole surface is one colour (new, or just filled with an opaque colour) that
//   colour is only remembered, and fills over it change the one colour;
// - a draw waits, with the fills after it composed into one set of tables, and then all of
//   them, with a closing fill under an HSL mode if there is one, run row by row in one pass;
//   a one-colour surface under the draw is written row by row just ahead of it; a second
//   draw over the same pixels joins the pass, after them on every row.
// Whatever else touches the surface must flush() first.
class FastDraw {
public:
    FastDraw();
    ~FastDraw();
    FastDraw(const FastDraw&) = delete;
    FastDraw& operator=(const FastDraw&) = delete;

    // The surface's memory is not cleared yet: it stands for transparent black.
    void startBlank();

    // Both return false, having flushed, when the step is Cairo's to draw.
    bool fillRect(const DrawTarget& target, const Rect& rect, const GridColor& color);
    // userToPixel maps drawing coordinates into the picture's stored pixels.
    bool drawImage(const DrawTarget& target, const Rect& rect, const AffineTransform& userToPixel,
                   const Image& image);

    // Writes whatever is held back into surface.
    void flush(cairo_surface_t* surface);

private:
    struct PendingDraw;

    // Runs the held-back draw and fills over the region, row by row, each row ending with
    // the HSL fill finish if there is one (which takes the held-back fills into its own).
    void runPasses(cairo_surface_t* surface, HslBlend::SolidFill* finish);

    // The colour of every pixel while the surface is one colour not yet written. Never held
    // together with a draw or fills.
    std::optional<std::uint32_t> uniform_;
    // Where the held-back draw and fills apply.
    PixelBox region_;
    std::unique_ptr<PendingDraw> draw_;
    std::optional<BlendTables> tables_;
    // A second draw over the same region, run after the draw and its fills on every row.
    std::unique_ptr<PendingDraw> next_;
};

} // namespace platform
