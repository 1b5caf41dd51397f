#pragma once

#include "Canvas.h"
#include "Fonts.h"

namespace artwork {

constexpr int kCategoryCount = 10;

// The category page for look `number` (1 to 10): its name and a tiny print made with it.
Canvas drawCategory(int number, const Fonts& fonts);

// A little landscape, size by size pixels: blue sky, a low sun, hills, grass and a red barn, so
// every look has blues, warm light, greens and a red to act on.
Canvas drawSampleScene(int size);

// The scene after look `number`, treated as the camera treats a print, with its film frame.
Canvas drawLookSample(int number, int size, const Fonts& fonts);

} // namespace artwork
