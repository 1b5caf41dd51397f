#pragma once

#include "platform/graphics/Geometry.h"

namespace platform {

class Image;

// Where a picture holds anything and where it is wholly opaque, in stored pixels (y down
// from the first stored row): drawing can leave out what would not show, and what lies
// under something that hides it.
struct ImageCoverage {
    // The smallest box holding every pixel that is not wholly transparent; empty for a
    // picture that is transparent all over.
    Rect inked;
    // The tallest band of whole rows in which every pixel is opaque; empty when no row is.
    Rect opaqueRows;

    static ImageCoverage of(const Image& image);
};

} // namespace platform
