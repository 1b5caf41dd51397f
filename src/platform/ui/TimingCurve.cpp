#include "platform/ui/TimingCurve.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double bezier(double p1, double p2, double s) {
    const double u = 1 - s;
    return 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s;
}

double bezierSlope(double p1, double p2, double s) {
    const double u = 1 - s;
    return 3 * u * u * p1 + 6 * u * s * (p2 - p1) + 3 * s * s * (1 - p2);
}

} // namespace

double TimingCurve::cubicBezier(double x1, double y1, double x2, double y2, double t) {
    if (!(t > 0))
        return 0;
    if (t >= 1)
        return 1;
    // Find the curve parameter whose x is t: Newton steps, then bisection if they stall
    // (the slope can vanish at the ends for curves like ease-in).
    double s = t;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(x1, x2, s) - t;
        if (std::abs(error) < 1e-9)
            return bezier(y1, y2, s);
        const double slope = bezierSlope(x1, x2, s);
        if (std::abs(slope) < 1e-6)
            break;
        s = std::clamp(s - error / slope, 0.0, 1.0);
    }
    double lo = 0, hi = 1;
    s = t;
    for (int i = 0; i < 60; ++i) {
        const double x = bezier(x1, x2, s);
        if (std::abs(x - t) < 1e-9)
            break;
        (x < t ? lo : hi) = s;
        s = (lo + hi) / 2;
    }
    return bezier(y1, y2, s);
}

double TimingCurve::easeInEaseOut(double t) {
    return cubicBezier(0.42, 0, 0.58, 1, t);
}

double TimingCurve::easeOut(double t) {
    return cubicBezier(0, 0, 0.58, 1, t);
}

} // namespace platform
