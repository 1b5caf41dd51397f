#pragma once

#include "platform/graphics/Geometry.h"

namespace platform {

// A 2D affine transform in the platform's row-vector convention:
//   x' = a·x + c·y + tx,  y' = b·x + d·y + ty.
// scaled(), translated() and rotated() put the new transform in front of this one: it acts
// on coordinates first, exactly as the platform's "transform scale" calls do. So
// makeTranslation(b, b).scaled(-1, 1) maps p to translate(scale(p)).
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // A rotation by angle (radians) maps (x, y) to (x·cos − y·sin, x·sin + y·cos).
    static AffineTransform makeRotation(double angle);

    // this first, then other.
    AffineTransform concat(const AffineTransform& other) const;
    AffineTransform translated(double x, double y) const {
        return makeTranslation(x, y).concat(*this);
    }
    AffineTransform scaled(double sx, double sy) const { return makeScale(sx, sy).concat(*this); }
    AffineTransform rotated(double angle) const { return makeRotation(angle).concat(*this); }
    AffineTransform inverted() const;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // The smallest upright box holding `rect` carried through this transform; empty for an
    // empty rect.
    Rect boundingBox(const Rect& rect) const;
    bool isIdentity() const { return *this == AffineTransform{}; }

    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

} // namespace platform
