#pragma once

namespace platform {

// Timing curves mapping the elapsed fraction of an animation (0 to 1) to the fraction of
// the way travelled (0 to 1).
class TimingCurve {
public:
    // The platform's default for view animations: the cubic Bézier (0.42, 0) (0.58, 1).
    static double easeInEaseOut(double t);
    // Fast start, gentle stop (Bézier (0, 0) (0.58, 1)): scroll views settling on a page.
    static double easeOut(double t);
    // A general cubic Bézier from (0, 0) to (1, 1) through control points (x1, y1), (x2, y2).
    static double cubicBezier(double x1, double y1, double x2, double y2, double t);
};

} // namespace platform
