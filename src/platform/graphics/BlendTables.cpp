#include "platform/graphics/BlendTables.h"

#include "platform/graphics/CairoOperator.h"
#include "platform/graphics/SeparableFormula.h"

namespace platform {

namespace {

template <BlendMode M>
bool formulaGives(const BlendTables::Formula& f, const BlendTables& tables) {
    for (std::int32_t v = 0; v < 256; ++v) {
        const std::uint32_t want = tables.opaqueResult(0xff000000u | std::uint32_t(v) * 0x010101u);
        const std::uint32_t got =
            0xff000000u | std::uint32_t(separable::overOpaque<M>(v, f.source[0], f.alpha)) << 16 |
            std::uint32_t(separable::overOpaque<M>(v, f.source[1], f.alpha)) << 8 |
            std::uint32_t(separable::overOpaque<M>(v, f.source[2], f.alpha));
        if (got != want)
            return false;
    }
    return true;
}

// The formula, if the mode has one here and it gives exactly the tables read off Cairo.
std::optional<BlendTables::Formula> formulaFor(BlendMode mode, const GridColor& color,
                                               const BlendTables& tables) {
    const std::uint32_t word = color.premultipliedWord;
    const BlendTables::Formula f{mode,
                                 {std::int32_t((word >> 16) & 0xff),
                                  std::int32_t((word >> 8) & 0xff), std::int32_t(word & 0xff)},
                                 std::int32_t(word >> 24)};
    bool exact = false;
    if (mode == BlendMode::Screen)
        exact = formulaGives<BlendMode::Screen>(f, tables);
    else if (mode == BlendMode::Overlay)
        exact = formulaGives<BlendMode::Overlay>(f, tables);
    else if (mode == BlendMode::HardLight)
        exact = formulaGives<BlendMode::HardLight>(f, tables);
    return exact ? std::optional(f) : std::nullopt;
}

} // namespace

bool BlendTables::isSeparable(BlendMode mode) {
    switch (mode) {
    case BlendMode::Hue:
    case BlendMode::Saturation:
    case BlendMode::Color:
    case BlendMode::Luminosity:
        return false;
    default:
        return true;
    }
}

std::optional<BlendTables> BlendTables::make(BlendMode mode, const GridColor& color) {
    if (!isSeparable(mode))
        return std::nullopt;
    BlendTables tables;
    tables.steps_.push_back({cairoOperatorFor(mode), color});
    // 256 opaque greys, then one transparent pixel.
    std::array<std::uint32_t, 257> probe;
    for (std::uint32_t i = 0; i < 256; ++i)
        probe[i] = 0xff000000u | i * 0x010101u;
    probe[256] = 0;
    CairoBatch::paintSteps(probe.data(), int(probe.size()), tables.steps_);
    const std::uint32_t alpha = probe[0] & 0xff000000u;
    for (std::size_t i = 0; i < 256; ++i) {
        // An opaque destination must give one alpha whatever its colour, or the channels
        // would not be independent after all.
        if ((probe[i] & 0xff000000u) != alpha)
            return std::nullopt;
        tables.red_[i] = alpha | (probe[i] & 0x00ff0000u);
        tables.green_[i] = probe[i] & 0x0000ff00u;
        tables.blue_[i] = probe[i] & 0x000000ffu;
    }
    tables.fromTransparent_ = probe[256];
    tables.formula_ = formulaFor(mode, color, tables);
    return tables;
}

std::optional<BlendTables> BlendTables::then(const BlendTables& next) const {
    if ((red_[0] >> 24) != 0xff)
        return std::nullopt;
    BlendTables both;
    both.steps_ = steps_;
    both.steps_.insert(both.steps_.end(), next.steps_.begin(), next.steps_.end());
    for (std::size_t i = 0; i < 256; ++i) {
        both.red_[i] = next.red_[(red_[i] >> 16) & 0xff];
        both.green_[i] = next.green_[(green_[i] >> 8) & 0xff];
        both.blue_[i] = next.blue_[blue_[i] & 0xff];
    }
    std::uint32_t p = fromTransparent_;
    if ((p >> 24) == 0xff)
        p = next.opaqueResult(p);
    else if (p == 0)
        p = next.fromTransparent_;
    else
        CairoBatch::paintSteps(&p, 1, next.steps_);
    both.fromTransparent_ = p;
    return both;
}

void BlendTables::apply(const BitmapView& target) const {
    CairoBatch partlyTransparent(steps_);
    for (int y = 0; y < target.height; ++y)
        applyRow(target.row(y), target.width, partlyTransparent);
}

void BlendTables::applyRow(std::uint32_t* row, int count, CairoBatch& partlyTransparent) const {
    auto one = [&](std::uint32_t* pixel) {
        const std::uint32_t p = *pixel;
        if ((p >> 24) == 0xff)
            *pixel = opaqueResult(p);
        else if (p == 0)
            *pixel = fromTransparent_;
        else
            partlyTransparent.add(pixel);
    };
    // Opaque runs, the usual case, go by blocks without a test per pixel.
    constexpr int kBlock = 16;
    int x = 0;
    for (; x + kBlock <= count; x += kBlock) {
        std::uint32_t all = 0xff000000u;
        for (int k = 0; k < kBlock; ++k)
            all &= row[x + k];
        if (all == 0xff000000u) {
            for (int k = 0; k < kBlock; ++k)
                row[x + k] = opaqueResult(row[x + k]);
        } else {
            for (int k = 0; k < kBlock; ++k)
                one(row + x + k);
        }
    }
    for (; x < count; ++x)
        one(row + x);
}

} // namespace platform
