#include "platform/graphics/BlendTables.h"

#include "platform/graphics/CairoBatch.h"
#include "platform/graphics/CairoOperator.h"

namespace platform {

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
    BlendTables tables(cairoOperatorFor(mode), color);
    // 256 opaque greys, then one transparent pixel.
    std::array<std::uint32_t, 257> probe;
    for (std::uint32_t i = 0; i < 256; ++i)
        probe[i] = 0xff000000u | i * 0x010101u;
    probe[256] = 0;
    CairoBatch::paintSolid(probe.data(), int(probe.size()), tables.op_, color);
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
    return tables;
}

void BlendTables::apply(const BitmapView& target) const {
    CairoBatch partlyTransparent(op_, color_);
    for (int y = 0; y < target.height; ++y) {
        std::uint32_t* row = target.row(y);
        for (int x = 0; x < target.width; ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (a == 0xff)
                row[x] = opaqueResult(p);
            else if (p == 0)
                row[x] = fromTransparent_;
            else
                partlyTransparent.add(row + x);
        }
    }
}

} // namespace platform
