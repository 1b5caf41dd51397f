#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>

namespace platform::scenedrawing {

// Small drawing helpers shared by the painters of the built-in scene.
constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

inline void setColour(cairo_t* cr, Colour c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

inline double wave(double t, double period, double phase = 0) {
    return std::sin(2 * kPi * (t / period + phase));
}

// A fixed sequence, so that scattered leaves and flowers land in the same places every run.
class Scatter {
public:
    explicit Scatter(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0;
    }
    double between(double low, double high) { return low + (high - low) * next(); }

private:
    std::uint32_t state_;
};

inline void circle(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
}

} // namespace platform::scenedrawing
