#include "platform/ui/DirtyRegion.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {

// Two rectangles become one when their union is at most this much larger than the area they
// cover between them: drawing a little more costs less than another pass.
constexpr double kMergeSlack = 1.25;

Rect normalised(const Rect& r) {
    return {r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY()};
}

double covered(const Rect& a, const Rect& b) {
    return a.area() + b.area() - a.intersection(b).area();
}

// What merging two rectangles draws that neither needed.
double waste(const Rect& a, const Rect& b) {
    return a.united(b).area() - covered(a, b);
}

} // namespace

void DirtyRegion::add(const Rect& given) {
    if (!std::isfinite(given.x()) || !std::isfinite(given.y()) || !std::isfinite(given.width()) ||
        !std::isfinite(given.height()) || given.isEmpty())
        return;
    Rect rect = normalised(given);
    // Merging can make the new rectangle swallow or meet others, so look again after each.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            if (it->containsRect(rect))
                return;
            if (rect.containsRect(*it) ||
                rect.united(*it).area() <= kMergeSlack * covered(rect, *it)) {
                rect = rect.united(*it);
                rects_.erase(it);
                merged = true;
                break;
            }
        }
    }
    rects_.push_back(rect);
    while (rects_.size() > kMaxRects) {
        std::size_t bestI = 0, bestJ = 1;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < rects_.size(); ++i)
            for (std::size_t j = i + 1; j < rects_.size(); ++j)
                if (const double w = waste(rects_[i], rects_[j]); w < best) {
                    best = w;
                    bestI = i;
                    bestJ = j;
                }
        const Rect joined = rects_[bestI].united(rects_[bestJ]);
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bestJ));
        rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(bestI));
        // Added again, so it can swallow what it now holds.
        add(joined);
    }
}

void DirtyRegion::add(const DirtyRegion& other) {
    for (const Rect& r : other.rects_)
        add(r);
}

Rect DirtyRegion::bounds() const {
    Rect all;
    for (const Rect& r : rects_)
        all = all.united(r);
    return all;
}

bool DirtyRegion::contains(Point point) const {
    for (const Rect& r : rects_)
        if (r.contains(point))
            return true;
    return false;
}

} // namespace platform
