#pragma once

#include <cairo.h>

namespace artwork {

// Colour components and alpha from 0 to 1, not premultiplied.
struct Color {
    double r = 0, g = 0, b = 0, a = 1;
};

Color mix(Color from, Color to, double t);
// Moves a colour toward white (amount > 0) or toward black (amount < 0), keeping alpha.
Color shade(Color c, double amount);
Color withAlpha(Color c, double alpha);
// A fully saturated, fully bright colour; hue in turns (0 red, 1/3 green, 2/3 blue).
Color hueColor(double hue);

void setColor(cairo_t* cr, Color c);
void addStop(cairo_pattern_t* pattern, double offset, Color c);

// Appends a closed rounded rectangle to the current path; radius is clamped to fit.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// Fills the current path with a top-to-bottom gradient between two colours, and keeps the path.
void fillVertical(cairo_t* cr, double y0, double y1, Color top, Color bottom);

// Paints a soft shadow inside the current path, darkest along its edge, as a recess casts one.
// The path is consumed.
void innerShadow(cairo_t* cr, double depth, Color shadow);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double x);

} // namespace artwork
