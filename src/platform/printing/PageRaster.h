#pragma once

#include "platform/graphics/Image.h"
#include "platform/printing/PageLayout.h"

#include <string>

namespace platform {

// A sheet with a print placed on it by a PageLayout, and the document formats a printer takes
// it in.
class PageRaster {
public:
    // The white sheet with `print` on it (upright, as stored); null when the sheet is too large
    // to draw or the print is missing.
    static ImageRef draw(const Image& print, const PageLayout& layout);
    // One PWG raster page (IPP Everywhere's own format) of `page`, in colour (srgb_8) or grey
    // (sgray_8), at `dotsPerInch`, on the media `mediaName`. Empty when CUPS refuses.
    static std::string pwgRaster(const Image& page, const std::string& mediaName,
                                 const std::string& type, int dotsPerInch);
};

} // namespace platform
