#pragma once

// Which page the category strip and the frame strip stand on, from their horizontal scroll
// positions. Used when a print is made and when the pages are recorded at termination, so
// both always agree.
class StripPages {
public:
    // Page widths of the two strips, in points.
    static constexpr float kCategoryPageWidth = 270.0f;
    static constexpr float kFramePageWidth = 320.0f;
    static constexpr int kCategoryCount = 10;
    static constexpr int kFrameCount = 3;

    // The category, 1 to 10, for the category strip's scroll position x in points. Each page
    // boundary belongs to the page above it; a position before the first page (a bounce) is
    // category 1, and so is any position from the end of the tenth page on.
    static int categoryNumberForOffset(double x);

    // The frame, 0 to 2, for the frame strip's scroll position x in points; the same rules,
    // falling back to frame 0.
    static int frameNumberForOffset(double x);

private:
    // Page index from 0, or -1 at or beyond the last page. Before the first page is page 0.
    static int pageIndex(double x, float pageWidth, int pageCount);
};
