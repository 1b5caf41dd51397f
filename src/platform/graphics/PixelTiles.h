#pragma once

#include "platform/graphics/Geometry.h"

#include <vector>

namespace platform {

class Image;

// The square tiles of a picture that matter for some purpose, joined into a few rectangles
// (stored pixels, y down): runs of tiles along each row of tiles, joined down the rows while
// they line up. Drawing only those parts of a picture leaves out the rest.
class PixelTiles {
public:
    // Tiles holding a pixel that is not wholly transparent.
    static std::vector<Rect> inked(const Image& picture, int tile);
    // Tiles where two pictures of one size differ (all of `after` when the sizes differ).
    static std::vector<Rect> changed(const Image& before, const Image& after, int tile);
    // How much of a picture `width` × `height` the rectangles cover, from 0 to 1.
    static double share(const std::vector<Rect>& rects, int width, int height);
};

} // namespace platform
