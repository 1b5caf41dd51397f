#include "platform/ui/OpaqueCovers.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/ui/View.h"

#include <cmath>
#include <limits>

namespace platform {

// How a view lies on the root: its coordinates carried to the root's, what its ancestors
// clip it to, and whether it is drawn whole (no fading or turning on the way).
struct Placement {
    AffineTransform toRoot;
    Rect clip;
    bool whole = true;
};

namespace {

constexpr double kHuge = std::numeric_limits<double>::max() / 4;

bool axisAligned(const AffineTransform& t) {
    return t.b == 0 && t.c == 0 && t.a != 0 && t.d != 0;
}

Rect boxOf(const Rect& r, const AffineTransform& t) {
    const Point p = t.apply({r.minX(), r.minY()});
    const Point q = t.apply({r.maxX(), r.maxY()});
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::abs(q.x - p.x), std::abs(q.y - p.y)};
}

// `r` less `cover` when what is left is one rectangle; otherwise `r` itself.
Rect subtract(const Rect& r, const Rect& cover) {
    if (cover.containsRect(r))
        return {};
    const Rect overlap = r.intersection(cover);
    if (overlap.isEmpty())
        return r;
    double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    if (overlap.minX() <= x0 && overlap.maxX() >= x1) {
        if (overlap.minY() <= y0)
            y0 = overlap.maxY();
        else if (overlap.maxY() >= y1)
            y1 = overlap.minY();
    } else if (overlap.minY() <= y0 && overlap.maxY() >= y1) {
        if (overlap.minX() <= x0)
            x0 = overlap.maxX();
        else if (overlap.maxX() >= x1)
            x1 = overlap.minX();
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

OpaqueCovers::OpaqueCovers(const View& root, double now) {
    visit(root, now,
          Placement{AffineTransform::identity(), {-kHuge, -kHuge, 2 * kHuge, 2 * kHuge}});
}

void OpaqueCovers::visit(const View& view, double now, const Placement& parent) {
    const double alpha = view.alpha_.presentation(now);
    if (view.hidden_ || alpha <= 0)
        return;
    Placement here;
    here.toRoot = view.presentationToSuperview(now).concat(parent.toRoot);
    here.whole = parent.whole && alpha >= 1 && axisAligned(here.toRoot);
    here.clip = parent.clip;
    if (view.clipsToBounds_)
        here.clip = here.clip.intersection(boxOf(view.bounds_.presentation(now), here.toRoot));
    const std::size_t order = order_.size();
    order_[&view] = order;
    if (here.whole) {
        const Rect opaque = view.opaqueRect();
        if (!opaque.isEmpty()) {
            const Rect onRoot = boxOf(opaque, here.toRoot).intersection(here.clip);
            if (!onRoot.isEmpty())
                covers_.push_back({&view, order, onRoot});
        }
    }
    for (const auto& child : view.subviews_)
        visit(*child, now, here);
}

const View* OpaqueCovers::coverOf(const Rect& pixels, double scale) const {
    for (auto it = covers_.rbegin(); it != covers_.rend(); ++it) {
        // Only pixels the cover holds whole are painted opaquely; its edges may be blended.
        const Rect& r = it->rect;
        const double x0 = std::ceil(r.minX() * scale - 1e-9),
                     y0 = std::ceil(r.minY() * scale - 1e-9);
        const double x1 = std::floor(r.maxX() * scale + 1e-9);
        const double y1 = std::floor(r.maxY() * scale + 1e-9);
        if (x1 > x0 && y1 > y0 && Rect{x0, y0, x1 - x0, y1 - y0}.containsRect(pixels))
            return it->view;
    }
    return nullptr;
}

Rect OpaqueCovers::visiblePart(const View& view, const Rect& rect) const {
    const auto found = order_.find(&view);
    if (found == order_.end())
        return {};
    Rect left = rect;
    // A cut can make a cover seen earlier take a whole side; look again until nothing moves.
    for (bool changed = true; changed && !left.isEmpty();) {
        changed = false;
        for (const Cover& cover : covers_) {
            if (cover.order <= found->second)
                continue;
            const Rect cut = subtract(left, cover.rect);
            if (!(cut == left)) {
                left = cut;
                changed = true;
                if (left.isEmpty())
                    break;
            }
        }
    }
    return left;
}

} // namespace platform
