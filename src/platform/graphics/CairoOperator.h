#pragma once

#include "platform/graphics/BlendMode.h"

#include <cairo.h>

namespace platform {

// The Cairo operator that computes a blend mode. Cairo's blend and Porter-Duff operators follow
// the PDF compositing formulas on premultiplied colour. Plus-darker has no Cairo counterpart
// and draws as normal.
cairo_operator_t cairoOperatorFor(BlendMode mode);

// Cairo's unbounded operators also change the destination outside the drawn shape; the
// platform's never do, so drawing with these is confined to the shape first.
bool isUnboundedOperator(cairo_operator_t op);

// Paints the current source inside the current path under op, leaving every pixel outside the
// path as it was, whatever Cairo's bounds for op. The path is kept.
void fillWithOperator(cairo_t* cr, cairo_operator_t op);

// Strokes the current path under op with the same confinement; target is the surface cr draws
// into. The path is kept.
void strokeWithOperator(cairo_t* cr, cairo_operator_t op, cairo_surface_t* target);

} // namespace platform
