#include "platform/printing/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace platform {

PageLayout PageLayout::forMedia(const MediaSize& media, int dotsPerInch) {
    const double pixelsPerMm = dotsPerInch / 25.4;
    PageLayout layout;
    // As a PWG raster page header counts them, so the page and its header always agree.
    layout.pageWidth = static_cast<int>(std::lround(media.width * 100) * dotsPerInch / 2540);
    layout.pageHeight = static_cast<int>(std::lround(media.height * 100) * dotsPerInch / 2540);
    const double cardWidth = kPrintSide + 2 * kBorder;
    const double cardHeight = kPrintSide + kBorder + kBottomBorder;
    layout.turned = media.width > media.height;
    const double across = layout.turned ? cardHeight : cardWidth;
    const double down = layout.turned ? cardWidth : cardHeight;
    const double scale = std::min({1.0, media.width / across, media.height / down});
    const double side = kPrintSide * scale * pixelsPerMm;
    const double border = kBorder * scale * pixelsPerMm;
    // The card sits in the middle of the sheet; the print in its card, the wide border below
    // (or, turned, to the left).
    const double cardLeft = (layout.pageWidth - across * scale * pixelsPerMm) / 2;
    const double cardTop = (layout.pageHeight - down * scale * pixelsPerMm) / 2;
    layout.printSide = side;
    layout.printY = cardTop + border;
    layout.printX =
        layout.turned ? cardLeft + (kBottomBorder * scale * pixelsPerMm) : cardLeft + border;
    return layout;
}

} // namespace platform
