#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <vector>

namespace platform {

// How the screen's picture reaches an SDL window: straight into the window's own surface,
// or through a texture of a renderer where the video driver has no surface to give.
// Main thread only.
class SdlPresenter {
public:
    virtual ~SdlPresenter() = default;

    // The window in drawable pixels.
    virtual Size drawableSize() const = 0;
    // The screen's picture changed in `boxes` (whole pixels): width × height opaque ARGB32
    // words, rows `stride` bytes apart; `smooth` when it will be shown at another size than
    // its own. The pixels are read again whenever all of the picture must be shown again
    // (the window resized, the picture moved), so they must stay valid until the next call.
    virtual bool update(const std::uint8_t* pixels, int stride, int width, int height,
                        const std::vector<Rect>& boxes, bool smooth) = 0;
    // Puts the picture over `target` (drawable pixels, whole numbers), black elsewhere; not
    // yet shown.
    virtual void render(const Rect& target) = 0;
    // Shows what was rendered: only what changed where it can.
    virtual void present() = 0;
    // What was rendered last, bars included, in drawable pixels.
    virtual ImageRef readPixels() = 0;
};

} // namespace platform
