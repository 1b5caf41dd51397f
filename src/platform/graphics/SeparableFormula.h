#pragma once

#include "platform/graphics/BlendMode.h"
#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cstdint>

namespace platform::separable {

// x / 255 rounded to the nearest, for x up to 255·255·2.
MORVANE_ALWAYS_INLINE std::int32_t divideBy255(std::int32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// The blend term of a separable PDF mode on premultiplied 8-bit channels, scaled by 255·255:
// as·ad·B(d/ad, s/as). Screen, overlay and hard light.
template <BlendMode M>
MORVANE_ALWAYS_INLINE std::int32_t blendTerm(std::int32_t d, std::int32_t da, std::int32_t s,
                                             std::int32_t sa) {
    if constexpr (M == BlendMode::Screen) {
        return s * da + d * sa - s * d;
    } else if constexpr (M == BlendMode::Overlay) {
        return 2 * d < da ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    } else {
        static_assert(M == BlendMode::HardLight);
        return 2 * s < sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    }
}

// One channel of an opaque destination after the mode: (1 − as)·d + as·B, rounded once.
template <BlendMode M>
MORVANE_ALWAYS_INLINE std::int32_t overOpaque(std::int32_t d, std::int32_t s, std::int32_t sa) {
    return divideBy255(std::clamp((255 - sa) * d + blendTerm<M>(d, 255, s, sa), 0, 255 * 255));
}

} // namespace platform::separable
