#include "platform/graphics/AffineTransform.h"

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

} // namespace platform
