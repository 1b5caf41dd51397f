#include "platform/camera/CaptureSize.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace platform {

namespace {

enum class SizeClass { Preferred = 0, Larger = 1, Smaller = 2 };

SizeClass classOf(CaptureSize size) {
    // Long and short side, so a device that offers portrait sizes is judged the same way.
    const int longSide = std::max(size.width, size.height);
    const int shortSide = std::min(size.width, size.height);
    if (longSide >= 640 && longSide <= 1280 && shortSide >= 480 && shortSide <= 720)
        return SizeClass::Preferred;
    if (longSide > 1280 || shortSide > 720)
        return SizeClass::Larger;
    return SizeClass::Smaller;
}

bool isFourByThree(CaptureSize size) {
    const std::int64_t longSide = std::max(size.width, size.height);
    const std::int64_t shortSide = std::min(size.width, size.height);
    // Within two percent: some drivers round 4:3 sizes to a multiple of 16.
    return std::llabs(longSide * 3 - shortSide * 4) * 50 <= shortSide * 4;
}

} // namespace

std::optional<CaptureSize> chooseCaptureSize(const std::vector<CaptureSize>& offers) {
    std::optional<CaptureSize> best;
    auto rank = [](CaptureSize size) {
        const SizeClass kind = classOf(size);
        const std::int64_t area = static_cast<std::int64_t>(size.width) * size.height;
        const int shape = isFourByThree(size) ? 0 : 1;
        // Smaller ranks first. Inside the class 4:3 counts before area; outside it the cost of
        // converting (or the lack of detail) matters more than the shape.
        if (kind == SizeClass::Preferred)
            return std::tuple{0, std::int64_t{shape}, -area};
        if (kind == SizeClass::Larger)
            return std::tuple{1, area, std::int64_t{shape}};
        return std::tuple{2, -area, std::int64_t{shape}};
    };
    for (const CaptureSize& offer : offers) {
        if (offer.width <= 0 || offer.height <= 0)
            continue;
        if (!best || rank(offer) < rank(*best))
            best = offer;
    }
    return best;
}

} // namespace platform
