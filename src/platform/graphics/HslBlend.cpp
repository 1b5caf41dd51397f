#include "platform/graphics/HslBlend.h"

#include "platform/graphics/BlendTables.h"
#include "platform/graphics/CairoBatch.h"
#include "platform/graphics/CairoOperator.h"
#include "platform/graphics/SeparableFormula.h"
#include "platform/graphics/VectorCode.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {

namespace {

// Pixels handled together: enough for the loops below to run long in vector registers, few
// enough that their arrays stay in the first-level cache.
constexpr int kLanes = 64;
constexpr float kTiny = 1e-6f;

// One lane per pixel, colours in 0..255. Every loop below runs over all lanes with no branch
// and no possible overlap between what it reads and writes (distinct members of one block),
// which is what the compiler needs to vectorise it at the default optimisation level.
struct Block {
    float br[kLanes], bg[kLanes], bb[kLanes]; // backdrop
    float sr[kLanes], sg[kLanes], sb[kLanes]; // source, straight
    float sa[kLanes];                         // source alpha, 0..1
    // A solid source's colour stretched to saturation 1 (SetSat(source, 1)), worked out once:
    // SetSat(source, s) is then this times s.
    float hr[kLanes], hg[kLanes], hb[kLanes];
};

// Fills held back ahead of a solid HSL fill, as the channel values they give opaque pixels,
// already in floats: what the block's backdrop is read through.
struct FloatTables {
    float r[256], g[256], b[256];
    // When the fills are one fill with a formula, computed instead of looked up.
    std::optional<BlendTables::Formula> formula;

    explicit FloatTables(const BlendTables& tables) : formula(tables.formula()) {
        for (std::uint32_t v = 0; v < 256; ++v) {
            r[v] = float((tables.opaqueResult(0xff000000u | v << 16) >> 16) & 0xff);
            g[v] = float((tables.opaqueResult(0xff000000u | v << 8) >> 8) & 0xff);
            b[v] = float(tables.opaqueResult(0xff000000u | v) & 0xff);
        }
    }
};

MORVANE_ALWAYS_INLINE float least(float a, float b) {
    return a < b ? a : b;
}
MORVANE_ALWAYS_INLINE float most(float a, float b) {
    return a > b ? a : b;
}
MORVANE_ALWAYS_INLINE float lum(float r, float g, float b) {
    return 0.3f * r + 0.59f * g + 0.11f * b;
}
// c ? a : b for finite a and b, as arithmetic: a select whose arms include a division is
// otherwise left as a branch (the division might trap), and a branch stops vectorisation.
MORVANE_ALWAYS_INLINE float choose(bool c, float a, float b) {
    return b + float(int(c)) * (a - b);
}

MORVANE_ALWAYS_INLINE void unpackBackdrop(const std::uint32_t* __restrict words,
                                          Block& __restrict k) {
    for (int i = 0; i < kLanes; ++i) {
        k.br[i] = float((words[i] >> 16) & 0xff);
        k.bg[i] = float((words[i] >> 8) & 0xff);
        k.bb[i] = float(words[i] & 0xff);
    }
}

// Straight colours and alphas of premultiplied words.
MORVANE_ALWAYS_INLINE void unpackSource(const std::uint32_t* __restrict words,
                                        Block& __restrict k) {
    for (int i = 0; i < kLanes; ++i) {
        const std::uint32_t a = words[i] >> 24;
        const float scale = float(int(a != 0)) * (255.0f / float(a | (a == 0)));
        k.sr[i] = float((words[i] >> 16) & 0xff) * scale;
        k.sg[i] = float((words[i] >> 8) & 0xff) * scale;
        k.sb[i] = float(words[i] & 0xff) * scale;
        k.sa[i] = float(a) * (1.0f / 255.0f);
    }
}

// SetSat on one colour: stretched so that its largest minus smallest channel is sat.
MORVANE_ALWAYS_INLINE void setSatOf(float& r, float& g, float& b, float sat) {
    const float n = least(r, least(g, b));
    const float x = most(r, most(g, b));
    const float f = choose(x > n, sat / most(x - n, kTiny), 0.0f);
    r = (r - n) * f;
    g = (g - n) * f;
    b = (b - n) * f;
}

// SetLum to l, then ClipColor, which scales the colour about its luminosity. Moved by d the
// colour has luminosity l exactly, so l serves as ClipColor's too; and only one clip can
// apply (a colour within 0..255 moved to a luminosity within 0..255 cannot leave the range at
// both ends), so one division serves.
MORVANE_ALWAYS_INLINE void setLumOf(float& r, float& g, float& b, float l) {
    const float d = l - lum(r, g, b);
    r += d;
    g += d;
    b += d;
    const float n = least(r, least(g, b));
    const float x = most(r, most(g, b));
    const bool low = n < 0;
    const bool high = x > 255;
    const float num = choose(low, l, choose(high, 255 - l, 1.0f));
    const float den = choose(low, l - n, choose(high, x - l, 1.0f));
    const float f = num / most(den, kTiny);
    r = l + (r - l) * f;
    g = l + (g - l) * f;
    b = l + (b - l) * f;
}

// B(backdrop, source) of the PDF model, then over an opaque backdrop (1 − as)·backdrop +
// as·B rounded to the nearest step, all in one loop so that every value stays in a register.
template <BlendMode M, bool SolidSource>
MORVANE_ALWAYS_INLINE void blendAndPack(const Block& __restrict k, std::uint32_t* __restrict out) {
    for (int i = 0; i < kLanes; ++i) {
        const float br = k.br[i], bg = k.bg[i], bb = k.bb[i];
        float r, g, b, l;
        if constexpr (M == BlendMode::Hue) {
            const float sat = most(br, most(bg, bb)) - least(br, least(bg, bb));
            if constexpr (SolidSource) {
                // SetSat of a fixed colour is its shape at saturation 1, scaled.
                r = k.hr[i] * sat;
                g = k.hg[i] * sat;
                b = k.hb[i] * sat;
            } else {
                r = k.sr[i];
                g = k.sg[i];
                b = k.sb[i];
                setSatOf(r, g, b, sat);
            }
            l = lum(br, bg, bb);
        } else if constexpr (M == BlendMode::Saturation) {
            r = br;
            g = bg;
            b = bb;
            setSatOf(r, g, b,
                     most(k.sr[i], most(k.sg[i], k.sb[i])) -
                         least(k.sr[i], least(k.sg[i], k.sb[i])));
            l = lum(br, bg, bb);
        } else if constexpr (M == BlendMode::Color) {
            r = k.sr[i];
            g = k.sg[i];
            b = k.sb[i];
            l = lum(br, bg, bb);
        } else {
            r = br;
            g = bg;
            b = bb;
            l = lum(k.sr[i], k.sg[i], k.sb[i]);
        }
        setLumOf(r, g, b, l);
        const float a = k.sa[i];
        // Through int: the vector units convert floats to signed integers only.
        auto channel = [a](float under, float mixed) {
            return std::uint32_t(int(std::clamp(under + (mixed - under) * a + 0.5f, 0.0f, 255.0f)));
        };
        out[i] = 0xff000000u | channel(br, r) << 16 | channel(bg, g) << 8 | channel(bb, b);
    }
}

template <BlendMode M>
MORVANE_ALWAYS_INLINE void liftLanesBy(const BlendTables::Formula& f,
                                       const std::uint32_t* __restrict words, Block& __restrict k) {
    for (int i = 0; i < kLanes; ++i) {
        k.br[i] = float(
            separable::overOpaque<M>(std::int32_t((words[i] >> 16) & 0xff), f.source[0], f.alpha));
        k.bg[i] = float(
            separable::overOpaque<M>(std::int32_t((words[i] >> 8) & 0xff), f.source[1], f.alpha));
        k.bb[i] =
            float(separable::overOpaque<M>(std::int32_t(words[i] & 0xff), f.source[2], f.alpha));
    }
}

// The backdrop after one earlier separable fill, computed lane by lane.
MORVANE_ALWAYS_INLINE void liftLanes(const BlendTables::Formula& f, const std::uint32_t* words,
                                     Block& k) {
    switch (f.mode) {
    case BlendMode::Screen:
        liftLanesBy<BlendMode::Screen>(f, words, k);
        break;
    case BlendMode::Overlay:
        liftLanesBy<BlendMode::Overlay>(f, words, k);
        break;
    default:
        liftLanesBy<BlendMode::HardLight>(f, words, k);
        break;
    }
}

// Walks destination pixels a block at a time. Opaque ones take the float result, transparent
// ones a fixed word (for a draw, the source word: what these modes give over nothing), the
// rest go to Cairo. A solid source is unpacked into the block once, by the caller; the fills
// of before, if any, come first for a solid source.
template <BlendMode M, bool SolidSource>
MORVANE_ALWAYS_INLINE void run(Block& k, std::uint32_t* destination, const std::uint32_t* source,
                               int count, const FloatTables* before, std::uint32_t overTransparent,
                               CairoBatch& batch) {
    std::uint32_t padded[kLanes], paddedSources[kLanes], result[kLanes];
    for (int start = 0; start < count; start += kLanes) {
        const int n = std::min(kLanes, count - start);
        std::uint32_t* d = destination + start;
        // Whole blocks are read where they lie; a short last one is padded with opaque black,
        // whose results are dropped.
        const std::uint32_t* backdrop = d;
        const std::uint32_t* sources = SolidSource ? nullptr : source + start;
        if (n < kLanes) {
            std::fill(std::begin(padded), std::end(padded), 0xff000000u);
            std::memcpy(padded, d, sizeof(std::uint32_t) * std::size_t(n));
            backdrop = padded;
            if (!SolidSource) {
                std::fill(std::begin(paddedSources), std::end(paddedSources), 0u);
                std::memcpy(paddedSources, sources, sizeof(std::uint32_t) * std::size_t(n));
                sources = paddedSources;
            }
        }
        if (SolidSource && before && before->formula) {
            // Every lane through the earlier fill; those that are not opaque are dropped below.
            liftLanes(*before->formula, backdrop, k);
        } else if (SolidSource && before) {
            for (int i = 0; i < kLanes; ++i) {
                k.br[i] = before->r[(backdrop[i] >> 16) & 0xff];
                k.bg[i] = before->g[(backdrop[i] >> 8) & 0xff];
                k.bb[i] = before->b[backdrop[i] & 0xff];
            }
        } else {
            unpackBackdrop(backdrop, k);
        }
        if constexpr (!SolidSource)
            unpackSource(sources, k);
        std::uint32_t opaque = 0xff000000u;
        for (int i = 0; i < kLanes; ++i)
            opaque &= backdrop[i];
        if (opaque == 0xff000000u && n == kLanes) {
            blendAndPack<M, SolidSource>(k, d);
            continue;
        }
        blendAndPack<M, SolidSource>(k, result);
        for (int i = 0; i < n; ++i) {
            const std::uint32_t s = SolidSource ? overTransparent : sources[i];
            if ((backdrop[i] >> 24) == 0xff)
                d[i] = result[i];
            else if (backdrop[i] == 0)
                d[i] = s;
            else if (SolidSource)
                batch.add(d + i);
            else
                batch.add(d + i, s);
        }
    }
}

template <bool SolidSource>
MORVANE_ALWAYS_INLINE void
dispatch(BlendMode mode, Block& k, std::uint32_t* destination, const std::uint32_t* source,
         int count, const FloatTables* before, std::uint32_t overTransparent, CairoBatch& batch) {
    switch (mode) {
    case BlendMode::Hue:
        run<BlendMode::Hue, SolidSource>(k, destination, source, count, before, overTransparent,
                                         batch);
        break;
    case BlendMode::Saturation:
        run<BlendMode::Saturation, SolidSource>(k, destination, source, count, before,
                                                overTransparent, batch);
        break;
    case BlendMode::Color:
        run<BlendMode::Color, SolidSource>(k, destination, source, count, before, overTransparent,
                                           batch);
        break;
    default:
        run<BlendMode::Luminosity, SolidSource>(k, destination, source, count, before,
                                                overTransparent, batch);
        break;
    }
}

// One row either way, built once per instruction set (see VectorCode.h). A null source
// paints the solid source already unpacked into the block; overTransparent is what a
// transparent pixel becomes.
MORVANE_VECTOR_CLONES void blendRowOfBlock(BlendMode mode, Block& k, std::uint32_t* destination,
                                           const std::uint32_t* source, int count,
                                           const FloatTables* before, std::uint32_t overTransparent,
                                           CairoBatch& batch) {
    if (source)
        dispatch<false>(mode, k, destination, source, count, nullptr, 0, batch);
    else
        dispatch<true>(mode, k, destination, nullptr, count, before, overTransparent, batch);
}

// SetLum(backdrop, l) for a fixed opaque backdrop: the colour is l + k per channel, k the
// backdrop's offsets from its own luminosity, and ClipColor's factor depends on l alone,
// through two fixed spans. Sources must be opaque.
struct LuminosityOverColour {
    float k[3];
    float lowSpan;  // l below this clips at 0 ...
    float highSpan; // ... above 255 - this at 255
    float lowScale, highScale;

    explicit LuminosityOverColour(std::uint32_t backdrop) {
        const float c[3] = {float((backdrop >> 16) & 0xff), float((backdrop >> 8) & 0xff),
                            float(backdrop & 0xff)};
        const float l = lum(c[0], c[1], c[2]);
        for (int i = 0; i < 3; ++i)
            k[i] = c[i] - l;
        lowSpan = -least(k[0], least(k[1], k[2]));
        highSpan = most(k[0], most(k[1], k[2]));
        lowScale = lowSpan > 0 ? 1.0f / lowSpan : 0.0f;
        highScale = highSpan > 0 ? 1.0f / highSpan : 0.0f;
    }
};

MORVANE_VECTOR_CLONES void luminosityOverColourBlock(const LuminosityOverColour& c,
                                                     const std::uint32_t* __restrict source,
                                                     std::uint32_t* __restrict out) {
    for (int i = 0; i < kLanes; ++i) {
        const float l = lum(float((source[i] >> 16) & 0xff), float((source[i] >> 8) & 0xff),
                            float(source[i] & 0xff));
        const float f = choose(l < c.lowSpan, l * c.lowScale,
                               choose(l > 255 - c.highSpan, (255 - l) * c.highScale, 1.0f));
        auto channel = [&](float k) {
            return std::uint32_t(int(std::clamp(l + k * f + 0.5f, 0.0f, 255.0f)));
        };
        out[i] = 0xff000000u | channel(c.k[0]) << 16 | channel(c.k[1]) << 8 | channel(c.k[2]);
    }
}

} // namespace

HslBlend::LuminosityTable::LuminosityTable(std::uint32_t backdrop, const BlendTables* after) {
    const LuminosityOverColour c(backdrop);
    table_.resize(255 * 100 + 1);
    for (std::size_t hundredths = 0; hundredths < table_.size(); ++hundredths) {
        const float l = float(hundredths) * 0.01f;
        const float f = l < c.lowSpan          ? l * c.lowScale
                        : l > 255 - c.highSpan ? (255 - l) * c.highScale
                                               : 1.0f;
        auto channel = [&](float k) {
            return std::uint32_t(int(std::clamp(l + k * f + 0.5f, 0.0f, 255.0f)));
        };
        const std::uint32_t word =
            0xff000000u | channel(c.k[0]) << 16 | channel(c.k[1]) << 8 | channel(c.k[2]);
        table_[hundredths] = after ? after->opaqueResult(word) : word;
    }
}

void HslBlend::LuminosityTable::row(std::uint32_t* destination, const std::uint32_t* source,
                                    int count) const {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        destination[i] = table_[30 * ((p >> 16) & 0xff) + 59 * ((p >> 8) & 0xff) + 11 * (p & 0xff)];
    }
}

void HslBlend::luminosityOverColour(std::uint32_t* destination, const std::uint32_t* source,
                                    int count, std::uint32_t backdrop, CairoBatch& batch) {
    const LuminosityOverColour constants(backdrop);
    std::uint32_t padded[kLanes], result[kLanes];
    for (int start = 0; start < count; start += kLanes) {
        const int n = std::min(kLanes, count - start);
        const std::uint32_t* s = source + start;
        std::uint32_t* d = destination + start;
        std::uint32_t opaque = 0xff000000u;
        for (int i = 0; i < n; ++i)
            opaque &= s[i];
        if (opaque != 0xff000000u) {
            // Translucent sources need the backdrop in memory and the full formula.
            std::fill(d, d + n, backdrop);
            blendRow(d, s, n, BlendMode::Luminosity, batch);
            continue;
        }
        if (n < kLanes) {
            std::fill(std::begin(padded), std::end(padded), 0xff000000u);
            std::memcpy(padded, s, sizeof(std::uint32_t) * std::size_t(n));
            s = padded;
        }
        if (n == kLanes) {
            luminosityOverColourBlock(constants, s, d);
        } else {
            luminosityOverColourBlock(constants, s, result);
            std::memcpy(d, result, sizeof(std::uint32_t) * std::size_t(n));
        }
    }
}

bool HslBlend::isHsl(BlendMode mode) {
    return mode == BlendMode::Hue || mode == BlendMode::Saturation || mode == BlendMode::Color ||
           mode == BlendMode::Luminosity;
}

struct HslBlend::SolidFill::State {
    BlendMode mode;
    std::optional<FloatTables> before;
    Block block;
    // What a transparent pixel becomes, worked out once for all of them.
    std::uint32_t fromTransparent = 0;
    CairoBatch leftToCairo;

    State(BlendMode m, const BlendTables* b, std::vector<SolidStep> steps)
        : mode(m), leftToCairo(steps) {
        if (b)
            before.emplace(*b);
        CairoBatch::paintSteps(&fromTransparent, 1, steps);
    }
};

HslBlend::SolidFill::SolidFill(BlendMode mode, const GridColor& color, const BlendTables* before) {
    std::vector<SolidStep> steps;
    if (before)
        steps = before->steps();
    steps.push_back({cairoOperatorFor(mode), color});
    state_ = std::make_unique<State>(mode, before, std::move(steps));
    Block& block = state_->block;
    std::uint32_t words[kLanes];
    std::fill(std::begin(words), std::end(words), color.premultipliedWord);
    unpackSource(words, block);
    for (int i = 0; i < kLanes; ++i) {
        float r = block.sr[i], g = block.sg[i], b = block.sb[i];
        setSatOf(r, g, b, 1);
        block.hr[i] = r;
        block.hg[i] = g;
        block.hb[i] = b;
    }
}

HslBlend::SolidFill::~SolidFill() = default;

void HslBlend::SolidFill::row(std::uint32_t* pixels, int count) {
    State& s = *state_;
    blendRowOfBlock(s.mode, s.block, pixels, nullptr, count, s.before ? &*s.before : nullptr,
                    s.fromTransparent, s.leftToCairo);
}

void HslBlend::fill(const BitmapView& target, BlendMode mode, const GridColor& color,
                    const BlendTables* before) {
    SolidFill fill(mode, color, before);
    for (int y = 0; y < target.height; ++y)
        fill.row(target.row(y), target.width);
}

void HslBlend::blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
                        BlendMode mode, CairoBatch& batch) {
    Block block;
    blendRowOfBlock(mode, block, destination, source, count, nullptr, 0, batch);
}

} // namespace platform
