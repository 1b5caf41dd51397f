#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Image.h"

namespace platform {

// How drawing space meets a stored bitmap's pixels.
class BitmapMapping {
public:
    // Shown picture coordinates (y down, origin at the shown top left, shown size width ×
    // height) to stored bitmap coordinates, after the EXIF meaning of each orientation flag.
    static AffineTransform displayedToStored(ImageOrientation orientation, double width,
                                             double height);

    // True when a device-to-bitmap mapping sends pixel centres onto pixel centres (a
    // whole-pixel move, possibly flipped or turned by quarter turns). Nearest sampling is then
    // exact, where a smoothing filter would only blur.
    static bool isPixelExact(const AffineTransform& deviceToPixel);
};

} // namespace platform
