#include "platform/graphics/AffineTransform.h"

#include <algorithm>
#include <cmath>

namespace platform {

AffineTransform AffineTransform::makeRotation(double angle) {
    const double cs = std::cos(angle);
    const double sn = std::sin(angle);
    return {cs, sn, -sn, cs, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& o) const {
    return {a * o.a + b * o.c, a * o.b + b * o.d,          c * o.a + d * o.c,
            c * o.b + d * o.d, tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
}

AffineTransform AffineTransform::inverted() const {
    const double det = a * d - b * c;
    if (det == 0)
        return *this;
    return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Rect AffineTransform::boundingBox(const Rect& rect) const {
    if (rect.isEmpty())
        return {};
    const Point corners[4] = {apply({rect.minX(), rect.minY()}), apply({rect.maxX(), rect.minY()}),
                              apply({rect.minX(), rect.maxY()}), apply({rect.maxX(), rect.maxY()})};
    double x0 = corners[0].x, y0 = corners[0].y, x1 = x0, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace platform
