#pragma once

#include "Canvas.h"
#include "Fonts.h"
#include "FrameShape.h"
#include "Paint.h"

namespace artwork {

Canvas drawNormalFrame(const FrameShape& shape, const Fonts& fonts);
Canvas drawRainbowFrame(const FrameShape& shape, const Fonts& fonts);
Canvas drawVintageFrame(const FrameShape& shape, const Fonts& fonts);
Canvas drawColorFrame(const FrameShape& shape, const Fonts& fonts);

// The maker's lettering printed along the edges of a film strip, between the paper margin and
// the sprocket holes, in the given ink. Does nothing for frames without a strip.
void drawStripLettering(Canvas& canvas, const FrameShape& shape, const Fonts& fonts, Color ink);

} // namespace artwork
