#pragma once

#include "platform/graphics/BitmapView.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/CairoBatch.h"
#include "platform/graphics/GridColor.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// Fills of one colour under separable modes, as three 256-entry tables. Over an opaque
// destination such a mode gives each channel as a function of that channel alone, so the
// tables are read off Cairo's own result for 256 grey pixels and then stand in for the blend
// on every opaque pixel of the surface: a fill costs a few lookups a pixel and matches Cairo
// to the bit. Consecutive fills compose into one set of tables, and so into one pass.
class BlendTables {
public:
    // True for the modes whose channels do not mix (everything but hue, saturation, colour and
    // luminosity).
    static bool isSeparable(BlendMode mode);

    // The tables for painting color under mode; nullopt for modes that are not separable.
    static std::optional<BlendTables> make(BlendMode mode, const GridColor& color);

    // These fills and then next's, as one set of tables. nullopt when these fills can leave
    // an opaque pixel translucent (no blend mode does), as next's tables then do not apply.
    std::optional<BlendTables> then(const BlendTables& next) const;

    // Paints the fills over every pixel of target.
    void apply(const BitmapView& target) const;
    // The same over one row; partly transparent pixels go to partlyTransparent, a batch of
    // steps(), to be finished when it is flushed.
    void applyRow(std::uint32_t* row, int count, CairoBatch& partlyTransparent) const;

    // The result for one opaque destination pixel; opaque again.
    std::uint32_t opaqueResult(std::uint32_t pixel) const {
        return red_[(pixel >> 16) & 0xff] | green_[(pixel >> 8) & 0xff] | blue_[pixel & 0xff];
    }
    // The result for a transparent black pixel.
    std::uint32_t transparentResult() const { return fromTransparent_; }
    // The fills, for pixels that are neither opaque nor transparent.
    const std::vector<SolidStep>& steps() const { return steps_; }

    // A single fill whose tables are exactly the integer formula of its mode (screen,
    // overlay, hard light; checked entry by entry against Cairo's), for loops that would
    // rather compute than look up.
    struct Formula {
        BlendMode mode;
        std::int32_t source[3]; // premultiplied red, green, blue
        std::int32_t alpha;
    };
    const std::optional<Formula>& formula() const { return formula_; }

private:
    BlendTables() = default;

    std::vector<SolidStep> steps_;
    // Result channels in place, so one pixel is three lookups or-ed together; the red table
    // also carries the result's alpha.
    std::array<std::uint32_t, 256> red_{}, green_{}, blue_{};
    std::uint32_t fromTransparent_ = 0;
    std::optional<Formula> formula_;
};

} // namespace platform
