#pragma once

namespace platform {

class LayerCache;
class View;

// One drawing of a view tree that may leave out more than the context's clip alone allows,
// and reuse pictures kept from earlier passes: a window drawing again the part of its screen
// that changed.
struct DrawPass {
    // A view that paints every pixel of the context's clip opaquely (see OpaqueCovers): what
    // is drawn before it cannot be seen and is left out.
    const View* cover = nullptr;
    // Pictures of translucent views kept between passes; null draws them afresh.
    LayerCache* layers = nullptr;
    // Set by the pass once it has come to the cover.
    bool coverReached = false;
};

} // namespace platform
