#pragma once

#include "platform/graphics/BitmapView.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/GridColor.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class BlendTables;
class CairoBatch;

// Hue, saturation, colour and luminosity, the modes that mix the channels, as straight float
// loops over opaque destinations. Lanes of eight pixels go through the same arithmetic with
// selects instead of branches, so the compiler keeps them in vector registers. Transparent
// destinations take the source as it is (what every one of these modes gives there); partly
// transparent ones are left to a Cairo batch.
class HslBlend {
public:
    static bool isHsl(BlendMode mode);

    // One colour under an HSL mode, after the fills of before (if any) in the same pass, row
    // by row. Partly transparent pixels are finished by the time it is destroyed.
    class SolidFill {
    public:
        SolidFill(BlendMode mode, const GridColor& color, const BlendTables* before);
        ~SolidFill();
        SolidFill(const SolidFill&) = delete;
        SolidFill& operator=(const SolidFill&) = delete;
        void row(std::uint32_t* pixels, int count);

    private:
        struct State;
        std::unique_ptr<State> state_;
    };

    // Paints one colour under an HSL mode over every pixel of target, after the fills of
    // before (if any), in the same pass.
    static void fill(const BitmapView& target, BlendMode mode, const GridColor& color,
                     const BlendTables* before = nullptr);

    // Composites count source pixels onto count destination pixels under an HSL mode. Pixels
    // the loop leaves to Cairo go into batch, which must blend under the same mode.
    static void blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
                         BlendMode mode, CairoBatch& batch);

    // Luminosity over one opaque colour, and then the fills of after if any, for opaque
    // sources: the result depends on a source pixel's luminosity alone, and an 8-bit pixel
    // has one of 25501 luminosities (0.3, 0.59 and 0.11 in hundredths), so it is looked up.
    class LuminosityTable {
    public:
        LuminosityTable(std::uint32_t backdrop, const BlendTables* after);
        // Sources must all be opaque.
        void row(std::uint32_t* destination, const std::uint32_t* source, int count) const;

    private:
        std::vector<std::uint32_t> table_;
    };

    // The same under luminosity over one opaque colour, backdrop, that destination does not
    // hold yet (its memory is overwritten unread). The result then depends on each source
    // pixel's luminosity alone, with no division per pixel.
    static void luminosityOverColour(std::uint32_t* destination, const std::uint32_t* source,
                                     int count, std::uint32_t backdrop, CairoBatch& batch);
};

} // namespace platform
