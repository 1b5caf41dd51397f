#pragma once

#include "platform/printing/PhotoMedia.h"

namespace platform {

// Where a square print goes on a sheet: at an instant print's own size, in a white card with a
// narrow border on three sides and a wide one below, as instant film comes out of a camera.
// The card is turned a quarter when the sheet is wider than tall, and shrunk only when the
// sheet is too small to hold it.
struct PageLayout {
    // The printed picture's side on paper, and the card's borders, in millimetres.
    static constexpr double kPrintSide = 79;
    static constexpr double kBorder = 6;
    static constexpr double kBottomBorder = 21;

    // Sheet in pixels.
    int pageWidth = 0;
    int pageHeight = 0;
    // The print's square on the sheet, in pixels (x right, y down).
    double printX = 0;
    double printY = 0;
    double printSide = 0;
    // A quarter turn clockwise of the card (its bottom border on the sheet's left).
    bool turned = false;

    static PageLayout forMedia(const MediaSize& media, int dotsPerInch);
};

} // namespace platform
