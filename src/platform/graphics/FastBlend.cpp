#include "platform/graphics/FastBlend.h"

#include "platform/graphics/HslBlend.h"
#include "platform/graphics/SeparableFormula.h"
#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Pixels looked at together: whole blocks of opaque (or transparent) pixels take the quick
// byte loops below, which the compiler vectorises.
constexpr int kBlock = 16;
constexpr int kBlockBytes = kBlock * 4;

using separable::divideBy255;

// The same for a product of two bytes, in 16 bits: a·b + 128 plus its top byte stays below
// 65536, so the vector unit can work on twice as many lanes.
MORVANE_ALWAYS_INLINE std::uint16_t multiplyBytes(std::uint16_t a, std::uint16_t b) {
    const std::uint16_t t = std::uint16_t(a * b + 128);
    return std::uint16_t((t + (t >> 8)) >> 8);
}
// 2·a·b/255 rounded, for a at most 127: still within 16 bits.
MORVANE_ALWAYS_INLINE std::uint16_t multiplyBytesTwice(std::uint16_t a, std::uint16_t b) {
    const std::uint16_t t = std::uint16_t(2 * a * b + 128);
    return std::uint16_t((t + (t >> 8)) >> 8);
}

MORVANE_ALWAYS_INLINE std::uint32_t channel(std::uint32_t word, int shift) {
    return (word >> shift) & 0xff;
}

using separable::blendTerm;

// Any alphas: result = (1 - as)·d + (1 - ad)·s + as·ad·B, alpha = as + ad - as·ad.
template <BlendMode M>
MORVANE_ALWAYS_INLINE std::uint32_t separable(std::uint32_t d, std::uint32_t s) {
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

// Both opaque, byte by byte (alpha bytes come out 255 as well). With both alphas 255 the
// general formula rounds to these: screen s + d − s·d/255; overlay and hard light 2·s·d/255
// below the middle, 255 − 2·(255 − s)·(255 − d)/255 above it.
template <BlendMode M>
MORVANE_ALWAYS_INLINE void separableOpaque(std::uint8_t* __restrict d,
                                           const std::uint8_t* __restrict s) {
    for (int i = 0; i < kBlockBytes; ++i) {
        const std::uint16_t b = d[i], c = s[i];
        if constexpr (M == BlendMode::Screen) {
            d[i] = std::uint8_t(b + c - multiplyBytes(b, c));
        } else {
            const std::uint16_t low = multiplyBytesTwice(std::min(b, c), std::max(b, c));
            const std::uint16_t high =
                std::uint16_t(255 - multiplyBytesTwice(std::min<std::uint16_t>(255 - b, 255 - c),
                                                       std::max<std::uint16_t>(255 - b, 255 - c)));
            const bool below = M == BlendMode::Overlay ? b < 128 : c < 128;
            d[i] = std::uint8_t(below ? low : high);
        }
    }
}

// Each byte's pixel alpha, for the byte loops below: alpha[4k + j] is the alpha of pixel k.
MORVANE_ALWAYS_INLINE void spreadAlpha(const std::uint32_t* __restrict words,
                                       std::uint8_t* __restrict alpha) {
    std::uint32_t spread[kBlock];
    for (int k = 0; k < kBlock; ++k)
        spread[k] = (words[k] >> 24) * 0x01010101u;
    std::memcpy(alpha, spread, sizeof spread);
}

// An opaque backdrop under any source, byte by byte: (1 − as)·d + as·B, with the blend term
// on premultiplied values as the general formula has it (da = 255). The alpha bytes come out
// 255, as they must.
template <BlendMode M>
MORVANE_ALWAYS_INLINE void separableOverOpaque(std::uint8_t* __restrict d,
                                               const std::uint8_t* __restrict s,
                                               const std::uint8_t* __restrict alpha) {
    for (int i = 0; i < kBlockBytes; ++i) {
        const std::int32_t b = d[i], c = s[i], sa = alpha[i];
        const std::int32_t value = (255 - sa) * b + blendTerm<M>(b, 255, c, sa);
        d[i] = std::uint8_t(divideBy255(std::clamp(value, 0, 255 * 255)));
    }
}

// s + d·(1 − as) byte by byte, clamped: normal drawing, and source-atop over an opaque
// backdrop.
MORVANE_ALWAYS_INLINE void overBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s,
                                     const std::uint8_t* __restrict alpha) {
    for (int i = 0; i < kBlockBytes; ++i) {
        const std::uint16_t sum =
            std::uint16_t(s[i] + multiplyBytes(d[i], std::uint16_t(255 - alpha[i])));
        d[i] = std::uint8_t(std::min<std::uint16_t>(sum, 255));
    }
}

MORVANE_ALWAYS_INLINE std::uint32_t alphaOfAll(const std::uint32_t* words) {
    std::uint32_t all = 0xff000000u;
    for (int i = 0; i < kBlock; ++i)
        all &= words[i];
    return all >> 24;
}

MORVANE_ALWAYS_INLINE bool allZero(const std::uint32_t* words) {
    std::uint32_t any = 0;
    for (int i = 0; i < kBlock; ++i)
        any |= words[i];
    return any == 0;
}

template <BlendMode M>
MORVANE_ALWAYS_INLINE void separableRow(std::uint32_t* destination, const std::uint32_t* source,
                                        int count) {
    int i = 0;
    std::uint8_t alpha[kBlockBytes];
    for (; i + kBlock <= count; i += kBlock) {
        if (allZero(source + i))
            continue; // nothing over anything is what was there
        const bool opaqueBackdrop = alphaOfAll(destination + i) == 0xff;
        if (opaqueBackdrop && alphaOfAll(source + i) == 0xff) {
            separableOpaque<M>(reinterpret_cast<std::uint8_t*>(destination + i),
                               reinterpret_cast<const std::uint8_t*>(source + i));
        } else if (opaqueBackdrop) {
            spreadAlpha(source + i, alpha);
            separableOverOpaque<M>(reinterpret_cast<std::uint8_t*>(destination + i),
                                   reinterpret_cast<const std::uint8_t*>(source + i), alpha);
        } else {
            for (int k = i; k < i + kBlock; ++k)
                destination[k] = separable<M>(destination[k], source[k]);
        }
    }
    for (; i < count; ++i)
        destination[i] = separable<M>(destination[i], source[i]);
}

// a·factor/255 on each byte of a word, each rounded to the nearest.
MORVANE_ALWAYS_INLINE std::uint32_t scaleBytes(std::uint32_t word, std::uint32_t factor) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= std::uint32_t(divideBy255(std::int32_t(channel(word, shift) * factor))) << shift;
    return out;
}

// Byte-wise sum clamped at 255.
MORVANE_ALWAYS_INLINE std::uint32_t addBytes(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= std::min(channel(a, shift) + channel(b, shift), 255u) << shift;
    return out;
}

MORVANE_ALWAYS_INLINE std::uint32_t over(std::uint32_t d, std::uint32_t s) {
    const std::uint32_t sa = s >> 24;
    if (sa == 0xff)
        return s;
    return s == 0 ? d : addBytes(s, scaleBytes(d, 255 - sa));
}

// s + d·(1 − as). Photographs are opaque and film frames mostly opaque or clear, so whole
// blocks of either are copied or left alone.
MORVANE_ALWAYS_INLINE void overRow(std::uint32_t* destination, const std::uint32_t* source,
                                   int count) {
    int i = 0;
    std::uint8_t alpha[kBlockBytes];
    for (; i + kBlock <= count; i += kBlock) {
        if (alphaOfAll(source + i) == 0xff) {
            std::memcpy(destination + i, source + i, kBlockBytes);
        } else if (!allZero(source + i)) {
            spreadAlpha(source + i, alpha);
            overBytes(reinterpret_cast<std::uint8_t*>(destination + i),
                      reinterpret_cast<const std::uint8_t*>(source + i), alpha);
        }
    }
    for (; i < count; ++i)
        destination[i] = over(destination[i], source[i]);
}

// s·ad + d·(1 − as): over an opaque destination the same as normal drawing.
MORVANE_ALWAYS_INLINE std::uint32_t atop(std::uint32_t d, std::uint32_t s) {
    if (s == 0)
        return d;
    const std::uint32_t da = d >> 24;
    if (da == 0xff)
        return over(d, s);
    return addBytes(scaleBytes(s, da), scaleBytes(d, 255 - (s >> 24)));
}

MORVANE_ALWAYS_INLINE void atopRow(std::uint32_t* destination, const std::uint32_t* source,
                                   int count) {
    int i = 0;
    std::uint8_t alpha[kBlockBytes];
    for (; i + kBlock <= count; i += kBlock) {
        if (allZero(source + i))
            continue;
        if (alphaOfAll(destination + i) != 0xff) {
            for (int k = i; k < i + kBlock; ++k)
                destination[k] = atop(destination[k], source[k]);
        } else if (alphaOfAll(source + i) == 0xff) {
            std::memcpy(destination + i, source + i, kBlockBytes);
        } else {
            spreadAlpha(source + i, alpha);
            overBytes(reinterpret_cast<std::uint8_t*>(destination + i),
                      reinterpret_cast<const std::uint8_t*>(source + i), alpha);
        }
    }
    for (; i < count; ++i)
        destination[i] = atop(destination[i], source[i]);
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

// Built once per instruction set (see VectorCode.h).
MORVANE_VECTOR_CLONES void FastBlend::blendRow(std::uint32_t* destination,
                                               const std::uint32_t* source, int count,
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
