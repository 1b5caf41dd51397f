#pragma once

#include <string_view>

typedef struct _cairo cairo_t;

namespace platform {

// Block capitals drawn as strokes, for the signs of the built-in scene. Drawing the letters
// ourselves keeps the scene the same on every machine, whatever fonts it has.
class SceneLettering {
public:
    // Draws text centred on centreX with its baseline at baseline, capitals capHeight high, in
    // the current source. Knows A D E F H L M N O R S, the digits 2 and 5, "c" (a cent sign),
    // "." (a middle dot) and space; anything else is left as a gap.
    static void paint(cairo_t* cr, std::string_view text, double centreX, double baseline,
                      double capHeight);
    // Width of text in the same units, from the first letter's left to the last one's right.
    static double width(std::string_view text, double capHeight);
};

} // namespace platform
