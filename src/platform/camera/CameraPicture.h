#pragma once

#include "platform/graphics/Image.h"

#include <string>
#include <vector>

namespace platform {

// The geometry that turns a camera frame into what the camera shows and stores. Everything
// here works in pixels and returns pictures with the orientation flag Up, except makeStill.

// The picture as it is seen: the stored pixels turned and mirrored after the orientation flag.
// nullptr when the picture is too large to turn.
ImageRef uprightImage(const Image& image);

// The picture seen in a mirror (left and right swapped), for a preview that should behave like
// a mirror; upright first when the picture carries another flag.
ImageRef mirrored(const Image& image);

// The camera's 3:4 portrait picture, width by width * 4 / 3 pixels: the largest square around
// the centre of the (upright) frame scaled to width by width at the top; below it the frame
// goes on, at the same scale, where it has rows below the square, and is black where it has
// none. nullptr for an empty frame or a width below 1. With `rows` below the height, only
// the first `rows` rows are made and the rest left black, for a view that shows no more:
// those rows are the same pixels the whole picture has.
ImageRef portraitPicture(const Image& frame, int width, int rows = -1);
// The portrait picture of `frame` made from `previous`, the portrait (same width and rows) of
// an earlier frame of the same size and orientation: made again only where `changed`
// (rectangles of frame pixels) says the frames differ, copied elsewhere. A live picture
// changes in parts, so this costs a fraction of a whole picture. Pixels made again may
// round a step differently from the whole picture made at once (Cairo fits its transform to
// what it draws).
ImageRef updatedPortraitPicture(const Image& previous, const Image& frame, int width, int rows,
                                const std::vector<Rect>& changed);
// The same made in place: `target` holds such an earlier portrait and nobody else sees it.
// False (and nothing changed) when the sizes do not fit.
bool repaintPortrait(cairo_surface_t* target, const Image& frame, int width, int rows,
                     const std::vector<Rect>& changed);

// Width in pixels of the portrait picture inside a still: 1200 on the first two phone models
// ("iPhone1,1" and "iPhone1,2", matched exactly), 1536 on every other model.
int stillPortraitWidth(const std::string& model);

// The still a phone camera stores for that frame: the portrait picture laid on its side in a
// landscape bitmap (2048 by 1536, or 1600 by 1200 on the first two models) with the scene's
// top along the bitmap's left edge, flagged Right. Stored pixel (x, y) is portrait pixel
// (W - 1 - y, x), W being the portrait width; so the stored first column is the portrait's
// top row read from right to left, and the portrait's left column is the stored bottom row.
ImageRef makeStill(const Image& frame, const std::string& model);

} // namespace platform
