#include "platform/camera/CaptureSize.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace platform {

namespace {

std::int64_t area(CaptureSize size) {
    return static_cast<std::int64_t>(size.width) * size.height;
}

bool isFourByThree(CaptureSize size) {
    const std::int64_t longSide = std::max(size.width, size.height);
    const std::int64_t shortSide = std::min(size.width, size.height);
    // Within two percent: some drivers round 4:3 sizes to a multiple of 16.
    return std::llabs(longSide * 3 - shortSide * 4) * 50 <= shortSide * 4;
}

bool fits(CaptureSize size, CaptureSize limit) {
    // Long side against long side, so a camera that offers portrait sizes is judged the same.
    return std::max(size.width, size.height) <= std::max(limit.width, limit.height) &&
           std::min(size.width, size.height) <= std::min(limit.width, limit.height);
}

} // namespace

std::optional<CaptureOffer> chooseCaptureOffer(const std::vector<CaptureOffer>& offers,
                                               CaptureSize limit) {
    const bool anySmooth = std::any_of(offers.begin(), offers.end(), [](const CaptureOffer& o) {
        return o.size.width > 0 && o.size.height > 0 && o.framesPerSecond >= kSmoothFramesPerSecond;
    });
    // Smaller ranks first.
    auto rank = [limit](const CaptureOffer& offer) {
        const bool within = fits(offer.size, limit);
        const std::int64_t pixels = area(offer.size);
        return std::tuple{within ? 0 : 1, within && isFourByThree(offer.size) ? 0 : 1,
                          within ? -pixels : pixels, -offer.framesPerSecond,
                          offer.compressed ? 1 : 0};
    };
    std::optional<CaptureOffer> best;
    for (const CaptureOffer& offer : offers) {
        if (offer.size.width <= 0 || offer.size.height <= 0)
            continue;
        // A rate of 0 means the camera did not say; it is not held against the offer.
        if (anySmooth && offer.framesPerSecond > 0 &&
            offer.framesPerSecond < kSmoothFramesPerSecond)
            continue;
        if (!best || rank(offer) < rank(*best))
            best = offer;
    }
    return best;
}

} // namespace platform
