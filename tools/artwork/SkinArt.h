#pragma once

#include "Canvas.h"
#include "Fonts.h"

namespace artwork {

// The camera body for skin `index`, 320 by 480 pixels, with the picture area
// (0, 0)-(320, 320) left fully transparent and the controls painted where the screen's
// untitled buttons lie.
Canvas drawSkinFrame(int index, const Fonts& fonts);

// The closed shutter for skin `index`, 320 by 320: a leaf shutter in a ring set into the body.
Canvas drawShutterPlate(int index);

// The icon is drawn on a square of this many units, whatever its size in pixels.
constexpr int kIconUnits = 64;

// The icon, the front of the classic white camera, painted on a kIconUnits square onto any
// Cairo surface (the window's PNG, the desktop's PNGs and SVG).
void paintIcon(cairo_t* cr);

// The icon as a picture `side` pixels square.
Canvas drawIcon(int side = kIconUnits);

// The gallery's remove badge, 68 by 38.
Canvas drawRemoveBadge();

} // namespace artwork
