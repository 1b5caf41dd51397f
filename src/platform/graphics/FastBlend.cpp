#include "platform/graphics/FastBlend.h"

#include "platform/graphics/HslBlend.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// x / 255 rounded to the nearest, for x up to 255·255·2.
inline std::int32_t divideBy255(std::int32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

inline std::uint32_t channel(std::uint32_t word, int shift) {
    return (word >> shift) & 0xff;
}

// The blend term of a separable PDF mode on premultiplied channels, scaled by 255·255:
// as·ad·B(d/ad, s/as).
template <BlendMode M>
inline std::int32_t blendTerm(std::int32_t d, std::int32_t da, std::int32_t s, std::int32_t sa) {
    if constexpr (M == BlendMode::Screen) {
        return s * da + d * sa - s * d;
    } else if constexpr (M == BlendMode::Overlay) {
        return 2 * d < da ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    } else {
        static_assert(M == BlendMode::HardLight);
        return 2 * s < sa ? 2 * s * d : sa * da - 2 * (da - d) * (sa - s);
    }
}

// Any alphas: result = (1 - as)·d + (1 - ad)·s + as·ad·B, alpha = as + ad - as·ad.
template <BlendMode M>
inline std::uint32_t separable(std::uint32_t d, std::uint32_t s) {
    const std::int32_t sa = std::int32_t(s >> 24), da = std::int32_t(d >> 24);
    std::uint32_t out = std::uint32_t(divideBy255(da * 255 + sa * 255 - sa * da)) << 24;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const std::int32_t dc = std::int32_t(channel(d, shift));
        const std::int32_t sc = std::int32_t(channel(s, shift));
        const std::int32_t value = (255 - sa) * dc + (255 - da) * sc + blendTerm<M>(dc, da, sc, sa);
        out |= std::uint32_t(divideBy255(std::clamp(value, 0, 255 * 255))) << shift;
    }
    return out;
}

// Both opaque, eight pixels at a time, byte by byte (the alpha bytes come out 255 as well).
template <BlendMode M>
inline void separableOpaque(std::uint8_t* d, const std::uint8_t* s) {
    for (int i = 0; i < 32; ++i) {
        const std::int32_t value = blendTerm<M>(d[i], 255, s[i], 255);
        d[i] = std::uint8_t(divideBy255(std::clamp(value, 0, 255 * 255)));
    }
}

inline bool allOpaque(const std::uint32_t* words) {
    std::uint32_t all = 0xff000000u;
    for (int i = 0; i < 8; ++i)
        all &= words[i];
    return (all & 0xff000000u) == 0xff000000u;
}

template <BlendMode M>
void separableRow(std::uint32_t* destination, const std::uint32_t* source, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        if (allOpaque(destination + i) && allOpaque(source + i)) {
            separableOpaque<M>(reinterpret_cast<std::uint8_t*>(destination + i),
                               reinterpret_cast<const std::uint8_t*>(source + i));
        } else {
            for (int k = i; k < i + 8; ++k)
                destination[k] = separable<M>(destination[k], source[k]);
        }
    }
    for (; i < count; ++i)
        destination[i] = separable<M>(destination[i], source[i]);
}

// a·b/255 on each of the four bytes of a word, each rounded to the nearest.
inline std::uint32_t multiplyBytes(std::uint32_t word, std::uint32_t factor) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= std::uint32_t(divideBy255(std::int32_t(channel(word, shift) * factor))) << shift;
    return out;
}

// Byte-wise sum clamped at 255.
inline std::uint32_t addBytes(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= std::min(channel(a, shift) + channel(b, shift), 255u) << shift;
    return out;
}

// s + d·(1 - as).
void overRow(std::uint32_t* destination, const std::uint32_t* source, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = source[i];
        const std::uint32_t sa = s >> 24;
        if (sa == 0xff)
            destination[i] = s;
        else if (s != 0)
            destination[i] = addBytes(s, multiplyBytes(destination[i], 255 - sa));
    }
}

// s·ad + d·(1 - as): over an opaque destination the same as normal drawing.
void atopRow(std::uint32_t* destination, const std::uint32_t* source, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = source[i];
        const std::uint32_t d = destination[i];
        const std::uint32_t sa = s >> 24, da = d >> 24;
        if (s == 0)
            continue;
        if (da == 0xff)
            destination[i] = sa == 0xff ? s : addBytes(s, multiplyBytes(d, 255 - sa));
        else
            destination[i] = addBytes(multiplyBytes(s, da), multiplyBytes(d, 255 - sa));
    }
}

} // namespace

bool FastBlend::supports(BlendMode mode) {
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Copy:
    case BlendMode::SourceAtop:
    case BlendMode::Screen:
    case BlendMode::Overlay:
    case BlendMode::HardLight:
        return true;
    default:
        return HslBlend::isHsl(mode);
    }
}

void FastBlend::blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
                         BlendMode mode, CairoBatch& batch) {
    switch (mode) {
    case BlendMode::Normal:
        overRow(destination, source, count);
        break;
    case BlendMode::Copy:
        std::memmove(destination, source, sizeof(std::uint32_t) * std::size_t(count));
        break;
    case BlendMode::SourceAtop:
        atopRow(destination, source, count);
        break;
    case BlendMode::Screen:
        separableRow<BlendMode::Screen>(destination, source, count);
        break;
    case BlendMode::Overlay:
        separableRow<BlendMode::Overlay>(destination, source, count);
        break;
    case BlendMode::HardLight:
        separableRow<BlendMode::HardLight>(destination, source, count);
        break;
    default:
        HslBlend::blendRow(destination, source, count, mode, batch);
        break;
    }
}

} // namespace platform
