#pragma once

#include "platform/graphics/AffineTransform.h"

#include <cstdint>
#include <optional>

namespace platform {

// Where Cairo samples a picture it draws with its smooth filter at a scale that filter turns
// into bilinear interpolation (between three quarters and four thirds, or a clean half),
// stretched or flipped along the axes but not turned. Cairo rounds the drawing's mapping to
// 16.16 fixed point through steps of its own (it moves the translation into whole-pixel
// offsets and nudges it so that the drawn area's centre lands where the exact mapping puts
// it), and its pixel library then walks that grid: the same steps here give the same grid,
// and so the same pixels.
struct BilinearGrid {
    // Device pixel (x0 + i, y0 + j) of the box the grid was made for samples the picture at
    // x = x0Fixed + i·xStep, y = y0Fixed + j·yStep (16.16 fixed point, in picture pixels with
    // pixel centres on whole numbers): the two columns from x's whole part on, weighted by
    // its top seven fraction bits, and likewise the two rows.
    std::int32_t x0Fixed = 0, xStep = 0;
    std::int32_t y0Fixed = 0, yStep = 0;
    // Where the draw's samples all lie inside the picture Cairo stops padding it, and a
    // neighbour beyond its edge (whose weight can still be a step or two) counts as
    // transparent; otherwise the edge pixels repeat outwards.
    bool outsideIsClear = false;

    // userToPixel maps drawing coordinates into the picture's pixels, ctm drawing coordinates
    // onto the device, and the box [x0, x1) × [y0, y1) is every device pixel the draw covers.
    // nullopt unless Cairo would interpolate bilinearly along a grid that runs forward
    // across each row (pixel-exact draws, other filters, turns and mirrored rows stay
    // Cairo's).
    static std::optional<BilinearGrid> forDraw(const AffineTransform& userToPixel,
                                               const AffineTransform& ctm, int x0, int y0, int x1,
                                               int y1, int pictureWidth, int pictureHeight);
};

} // namespace platform
