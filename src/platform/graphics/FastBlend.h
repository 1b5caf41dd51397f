#pragma once

#include "platform/graphics/BlendMode.h"

#include <cstdint>

namespace platform {

class CairoBatch;

// Rows of source pixels composited onto rows of destination pixels, one to one, in 8-bit
// integer arithmetic that rounds exactly as Cairo's compositor does: x/255 to the nearest,
// each product rounded on its own where Cairo rounds it so. Runs of opaque pixels take a
// byte-wise path the compiler turns into vector code.
class FastBlend {
public:
    // The modes blendRow() computes: normal, source-atop, copy, and the separable modes
    // screen, overlay and hard light, plus the four HSL modes.
    static bool supports(BlendMode mode);

    // destination[i] = source[i] composited under mode, for i below count. Pixels the loops
    // leave to Cairo go into batch, which must blend under the same mode and is flushed by
    // its owner.
    static void blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
                         BlendMode mode, CairoBatch& batch);
};

} // namespace platform
