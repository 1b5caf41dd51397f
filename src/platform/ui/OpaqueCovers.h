#pragma once

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace platform {

class View;

// The views of a tree that hide what is drawn before them, as the tree stands at one moment:
// each view that paints a rectangle of the screen wholly opaque (View::opaqueRect) and is
// drawn whole there (not hidden, not faded, not inside a faded view, not turned), with that
// rectangle in the root's coordinates (points), in drawing order.
class OpaqueCovers {
public:
    OpaqueCovers(const View& root, double now);

    // The front-most view that paints every pixel of `pixels` (device pixels of the screen
    // drawn at `scale` pixels per point) opaquely; null when none does.
    const View* coverOf(const Rect& pixels, double scale) const;
    // What can still be seen of `rect` (root points) of what `view` draws: the rectangle
    // left once each cover drawn after the view is taken away. Where a cover leaves more
    // than one rectangle the whole is kept, so it may be larger than what shows, never
    // smaller. Empty for a view that is not drawn at all.
    Rect visiblePart(const View& view, const Rect& rect) const;

private:
    struct Cover {
        const View* view;
        std::size_t order;
        Rect rect;
    };
    void visit(const View& view, double now, const struct Placement& parent);

    std::vector<Cover> covers_;
    std::unordered_map<const View*, std::size_t> order_;
};

} // namespace platform
