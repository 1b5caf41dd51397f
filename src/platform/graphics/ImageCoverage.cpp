#include "platform/graphics/ImageCoverage.h"

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cstdint>

namespace platform {

ImageCoverage ImageCoverage::of(const Image& image) {
    ImageCoverage coverage;
    const int w = image.pixelWidth(), h = image.pixelHeight();
    if (!image.data() || w <= 0 || h <= 0)
        return coverage;
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    int runStart = 0, bestStart = 0, bestLength = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.data() + std::ptrdiff_t(y) *
                                                                                    image.stride());
        int first = -1, last = -1;
        bool opaque = true;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t alpha = row[x] >> 24;
            if (alpha) {
                if (first < 0)
                    first = x;
                last = x;
            }
            opaque = opaque && alpha == 255;
        }
        if (first >= 0) {
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
            y0 = std::min(y0, y);
            y1 = y;
        }
        if (!opaque) {
            runStart = y + 1;
        } else if (y + 1 - runStart > bestLength) {
            bestStart = runStart;
            bestLength = y + 1 - runStart;
        }
    }
    if (x1 >= 0)
        coverage.inked = Rect{double(x0), double(y0), double(x1 + 1 - x0), double(y1 + 1 - y0)};
    if (bestLength > 0)
        coverage.opaqueRows = Rect{0, double(bestStart), double(w), double(bestLength)};
    return coverage;
}

} // namespace platform
