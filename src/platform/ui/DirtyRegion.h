#pragma once

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <vector>

namespace platform {

// The parts of a screen that must be drawn again: a few rectangles that together hold every
// rectangle added, in whatever coordinates they were added in. A rectangle that mostly
// overlaps another is merged with it, and past kMaxRects the two whose union wastes least
// become one, so that the list stays short to keep and to clip to.
class DirtyRegion {
public:
    static constexpr std::size_t kMaxRects = 16;

    // Empty and non-finite rectangles add nothing.
    void add(const Rect& rect);
    void add(const DirtyRegion& other);
    void clear() { rects_.clear(); }
    bool isEmpty() const { return rects_.empty(); }
    const std::vector<Rect>& rects() const { return rects_; }
    // The smallest rectangle holding the whole region; empty when the region is.
    Rect bounds() const;
    bool contains(Point point) const;

private:
    std::vector<Rect> rects_;
};

} // namespace platform
