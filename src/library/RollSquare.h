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

    // The photograph brought upright by its orientation flag (any of the eight), scaled so
    // that its shorter side is `side` pixels, centred, the longer side's overflow cut equally
    // at both ends, and stored mirrored top to bottom, which the print's film look undoes.
    // nullptr for no photograph or a side below one pixel.
    static platform::ImageRef makeSquare(const platform::Image& photograph, int side);

private:
    // True for the photographs the square was always right for, made as they always were so
    // that their prints stay the same to the pixel.
    static bool keepsFirstWay(const platform::Image& photograph);
    static platform::ImageRef makeUprightSquare(const platform::Image& photograph, int side);

public:
    // The square shown upright at kPreviewSide pixels a side; nullptr for no square.
    static platform::ImageRef makePreview(const platform::ImageRef& square);
};
