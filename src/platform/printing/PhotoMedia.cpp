#include "platform/printing/PhotoMedia.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace platform {

std::optional<MediaSize> MediaSize::named(const std::string& name) {
    const pwg_media_t* media = name.empty() ? nullptr : pwgMediaForPWG(name.c_str());
    if (!media || media->width <= 0 || media->length <= 0)
        return std::nullopt;
    return MediaSize{name, media->width / 100.0, media->length / 100.0};
}

std::optional<MediaSize> MediaSize::photoMedia(const std::vector<std::string>& supported,
                                               const std::string& defaultName) {
    std::vector<MediaSize> sizes;
    for (const auto& name : supported) {
        if (auto size = named(name))
            sizes.push_back(*size);
    }
    const auto near = [](double value, double target) { return std::abs(value - target) < 3; };
    const auto first = [&](auto fits) -> std::optional<MediaSize> {
        const auto found = std::find_if(sizes.begin(), sizes.end(), fits);
        if (found == sizes.end())
            return std::nullopt;
        return *found;
    };
    const auto shortSide = [](const MediaSize& s) { return std::min(s.width, s.height); };
    const auto longSide = [](const MediaSize& s) { return std::max(s.width, s.height); };
    // Square sheets from 3.5 to 5 inches hold an instant print at or near its own size.
    if (auto square = first([&](const MediaSize& s) {
            return near(s.width, s.height) && s.width >= 85 && s.width <= 130;
        }))
        return square;
    if (auto postcard = first([&](const MediaSize& s) {
            return shortSide(s) >= 99 && shortSide(s) <= 105 && longSide(s) >= 147 &&
                   longSide(s) <= 153;
        }))
        return postcard;
    if (auto large = first([&](const MediaSize& s) {
            return near(shortSide(s), 127) && near(longSide(s), 177.8);
        }))
        return large;
    if (auto fallback = named(defaultName))
        return fallback;
    if (!sizes.empty())
        return sizes.front();
    return std::nullopt;
}

} // namespace platform
