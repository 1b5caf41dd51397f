#pragma once

#include "Canvas.h"
#include "Skin.h"

namespace artwork {

// The pieces of the control row, each drawn around a centre point in pixels.

// An unlit lamp in its metal bezel, 25 pixels across, so the lit lamp (22 across) covers the
// glass exactly and leaves the bezel showing.
void drawLampSocket(cairo_t* cr, const Skin& skin, double cx, double cy);
void drawCameraGlyph(cairo_t* cr, Color ink, double cx, double cy);
void drawPhotosGlyph(cairo_t* cr, Color ink, Color cutout, double cx, double cy);
void drawShutterRelease(cairo_t* cr, const Skin& skin, double cx, double cy);
// The light meter's little round window.
void drawMeterEye(cairo_t* cr, const Skin& skin, double cx, double cy);
// A tiny stack of prints, for the recent-prints tab.
void drawPrintStackGlyph(cairo_t* cr, Color ink, double cx, double cy);

// The lit lamp resource, 22 by 22 pixels.
Canvas drawLamp();

} // namespace artwork
