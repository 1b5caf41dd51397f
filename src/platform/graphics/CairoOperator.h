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

} // namespace platform
