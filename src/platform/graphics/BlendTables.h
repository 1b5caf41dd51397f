#pragma once

#include "platform/graphics/BitmapView.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/GridColor.h"

#include <cairo.h>

#include <array>
#include <cstdint>
#include <optional>

namespace platform {

// A fill of one colour under a separable mode, as three 256-entry tables. Over an opaque
// destination such a mode gives each channel as a function of that channel alone, so the
// tables are read off Cairo's own result for 256 grey pixels and then stand in for the blend
// on every opaque pixel of the surface: a look's fill costs a few lookups a pixel and matches
// Cairo to the bit.
class BlendTables {
public:
    // True for the modes whose channels do not mix (everything but hue, saturation, colour and
    // luminosity).
    static bool isSeparable(BlendMode mode);

    // The tables for painting color under mode; nullopt for modes that are not separable.
    static std::optional<BlendTables> make(BlendMode mode, const GridColor& color);

    // Paints the colour over every pixel of target.
    void apply(const BitmapView& target) const;

    // The result for one opaque destination pixel, as apply() gives it.
    std::uint32_t opaqueResult(std::uint32_t pixel) const {
        return red_[(pixel >> 16) & 0xff] | green_[(pixel >> 8) & 0xff] | blue_[pixel & 0xff];
    }

private:
    BlendTables(cairo_operator_t op, const GridColor& color) : op_(op), color_(color) {}

    cairo_operator_t op_;
    GridColor color_;
    // Result channels in place, so one pixel is three lookups or-ed together; the red table
    // also carries the result's alpha.
    std::array<std::uint32_t, 256> red_{}, green_{}, blue_{};
    std::uint32_t fromTransparent_ = 0;
};

} // namespace platform
