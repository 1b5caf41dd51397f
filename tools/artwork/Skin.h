#pragma once

#include "Canvas.h"
#include "Paint.h"

namespace artwork {

enum class Texture { Plastic, Leather, Wood };

// The colours and surface of one camera body. Every picture of a skin (the body, its closed
// shutter, the window icon) takes its colours from here, so they always match.
struct Skin {
    Color bodyTop, bodyBottom; // the body's lit top and shaded bottom
    Texture texture;
    Color plate;               // recessed panels: control plate, slot lip, window bezel
    Color trimLight, trimDark; // metal rings, lit and shaded
    Color ink;                 // lettering on the body
    Color inkOnPlate;          // icons and lettering on the dark plate
    Color shutter;             // the shutter release
    Color bladeLight, bladeDark;
    Color rim; // a fine edge around recessed panels, where the body alone would not show them
};

constexpr int kSkinCount = 3;

// Skin 0 classic white, 1 black leatherette, 2 walnut; anything else gives skin 0.
const Skin& skinAt(int index);

// Gives the body surface its grain, over the rows from y0 to y1 (pixels) of an opaque canvas.
void applyTexture(Canvas& canvas, const Skin& skin, int y0, int y1, unsigned seed);

// Metal: a ring between two radii, lit from the top left.
void drawMetalRing(cairo_t* cr, const Skin& skin, double cx, double cy, double outer, double inner);

} // namespace artwork
