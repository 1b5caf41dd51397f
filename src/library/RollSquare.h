#pragma once

#include "platform/graphics/Image.h"

#include <string_view>

// The square a library photograph is printed from, and its preview. Kept apart from the
// delegate so the pixel mappings can be checked without a screen.
class RollSquare {
public:
    // Side of the preview picture, in pixels: the width of the picture area.
    static constexpr int kPreviewSide = 320;

    // Side of the working square in pixels for a hardware model text: the two first models
    // have less memory to spare. Print quality plays no part.
    static int squareSide(std::string_view platformString);

    // The photograph scaled so that its shorter side is `side` pixels, centred, the longer
    // side's overflow cut equally at both ends, and stored mirrored top to bottom, which the
    // print's film look undoes. A bitmap stored wider than tall whose own size (after its
    // orientation flag) is taller than wide is turned a quarter turn clockwise first.
    // nullptr for no photograph or a side below one pixel.
    static platform::ImageRef makeSquare(const platform::Image& photograph, int side);

    // The square shown upright at kPreviewSide pixels a side; nullptr for no square.
    static platform::ImageRef makePreview(const platform::ImageRef& square);
};
