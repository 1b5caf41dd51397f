#include "capture/StripPages.h"

#include <algorithm>
#include <cmath>

int StripPages::pageIndex(double x, float pageWidth, int pageCount) {
    // Single precision on purpose: a position a hair below a boundary in double precision
    // rounds onto it and counts as the next page, as the strips' own float positions did.
    // A NaN or infinite position (a broken scroll view) counts as past the end; far-out
    // values are clamped first because narrowing them to float would be undefined.
    if (!std::isfinite(x))
        return -1;
    const float position = static_cast<float>(std::clamp(x, -1.0e30, 1.0e30));
    for (int page = 0; page < pageCount; ++page) {
        if (position < pageWidth * static_cast<float>(page + 1))
            return page;
    }
    // At or past the end of the last page.
    return -1;
}

int StripPages::categoryNumberForOffset(double x) {
    const int page = pageIndex(x, kCategoryPageWidth, kCategoryCount);
    return page < 0 ? 1 : page + 1;
}

int StripPages::frameNumberForOffset(double x) {
    const int page = pageIndex(x, kFramePageWidth, kFrameCount);
    return page < 0 ? 0 : page;
}
