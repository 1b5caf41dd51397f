// What a view draws, where, and what it marks for redrawing when it changes.
#include "platform/ui/View.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/DrawPass.h"
#include "platform/ui/LayerCache.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace platform {

namespace {

// Anti-aliased edges may touch the pixel beyond a rectangle's bounding box; culling keeps
// this much room (device pixels) so it never leaves out a pixel that would change.
constexpr double kCullMargin = 1;

bool invertible(const AffineTransform& t) {
    return t.a * t.d - t.b * t.c != 0;
}

// The bounding box of `rect` carried through `t`.
Rect boxOf(const Rect& rect, const AffineTransform& t) {
    return t.boundingBox(rect);
}

Rect grown(const Rect& r, double by) {
    return {r.minX() - by, r.minY() - by, r.maxX() - r.minX() + 2 * by,
            r.maxY() - r.minY() + 2 * by};
}

// Whether anything drawn inside `rect` (user space under `toDevice`) can land in `clip`
// (device pixels).
bool meets(const Rect& rect, const AffineTransform& toDevice, const Rect& clip) {
    return !grown(boxOf(rect, toDevice), kCullMargin).intersection(clip).isEmpty();
}

} // namespace

void View::draw(ImageContext& context) {
    if (!backgroundColor_ || backgroundColor_->alpha <= 0)
        return;
    const Color& c = *backgroundColor_;
    context.setRGBFillColor(c.red, c.green, c.blue, c.alpha);
    context.fillRect(bounds_.model());
}

Rect View::opaqueRect() const {
    // The fill covers the bounds with one opaque colour, replacing what lay there.
    return backgroundColor_ && backgroundColor_->alpha >= 1 ? bounds_.model() : Rect{};
}

// ---- Where things are drawn ----

Rect View::contentExtent(double now) const {
    const Rect own = bounds_.presentation(now);
    if (clipsToBounds_)
        return own;
    // draw() paints the model bounds while drawing moves towards them.
    Rect extent = own.united(bounds_.model());
    for (const auto& child : subviews_) {
        if (child->hidden_ || child->alpha_.presentation(now) <= 0)
            continue;
        const AffineTransform placement = child->presentationToSuperview(now);
        if (invertible(placement))
            extent = extent.united(boxOf(child->contentExtent(now), placement));
    }
    return extent;
}

Rect View::mapToRoot(const Rect& rect, double now, bool countOwnVisibility) const {
    Rect r = rect;
    std::shared_ptr<const View> hold;
    for (const View* node = this; node;) {
        if ((node != this || countOwnVisibility) &&
            (node->hidden_ || node->alpha_.presentation(now) <= 0))
            return {};
        if (node->clipsToBounds_)
            r = r.intersection(node->bounds_.presentation(now));
        if (r.isEmpty())
            return {};
        const AffineTransform placement = node->presentationToSuperview(now);
        if (!invertible(placement))
            return {};
        r = boxOf(r, placement);
        hold = node->superview_.lock();
        node = hold.get();
    }
    return r;
}

Rect View::rectInRoot(const Rect& rect, double now) const {
    return mapToRoot(rect, now, true);
}

Rect View::drawnRect(double now) const {
    return mapToRoot(contentExtent(now), now, true);
}

// ---- Marking for redrawing ----

void View::noteDrawingChanged() {
    std::shared_ptr<View> hold;
    for (View* node = this; node;) {
        ++node->drawingVersion_;
        hold = node->superview_.lock();
        node = hold.get();
    }
}

bool View::isBatching() const {
    std::shared_ptr<const View> hold;
    for (const View* node = this; node;) {
        if (node->batching_ > 0)
            return true;
        hold = node->superview_.lock();
        node = hold.get();
    }
    return false;
}

void View::setNeedsDisplayInRect(const Rect& rect) {
    noteDrawingChanged();
    if (isBatching())
        return;
    if (auto w = window())
        w->invalidate(mapToRoot(rect, RunLoop::main().now(), true));
}

void View::setNeedsDisplay() {
    const double now = RunLoop::main().now();
    setNeedsDisplayInRect(bounds_.presentation(now).united(bounds_.model()));
}

void View::invalidateDrawnArea(bool countOwnVisibility) {
    noteDrawingChanged();
    if (isBatching())
        return;
    if (auto w = window()) {
        const double now = RunLoop::main().now();
        w->invalidate(mapToRoot(contentExtent(now), now, countOwnVisibility));
    }
}

double View::motionEnd() const {
    return std::max(
        {center_.motionEnd(), bounds_.motionEnd(), transform_.motionEnd(), alpha_.motionEnd()});
}

void View::noteMotions(Window& window, double now) {
    if (motionEnd() > now)
        window.noteMotion(shared_from_this(), motionEnd(), now);
    for (const auto& child : subviews_)
        child->noteMotions(window, now);
}

// ---- Drawing ----

void View::drawHierarchy(ImageContext& context, double now) {
    DrawPass pass;
    drawHierarchy(context, now, pass);
}

void View::drawHierarchy(ImageContext& context, double now, DrawPass& pass) {
    drawTree(context, now, pass, context.clipBoundsInPixels());
}

void View::drawTree(ImageContext& context, double now, DrawPass& pass, const Rect& clip) {
    if (hidden_)
        return;
    // Wholly drawn before the cover, which hides it.
    if (pass.cover && !pass.coverReached && pass.cover != this &&
        !pass.cover->isDescendantOf(*this))
        return;
    const double alpha = alpha_.presentation(now);
    if (alpha <= 0)
        return;
    const AffineTransform placement = presentationToSuperview(now);
    if (!invertible(placement))
        return;
    if (pass.cover == this)
        pass.coverReached = true;
    context.saveGState();
    context.concatCTM(placement);
    const AffineTransform toDevice = context.ctm();
    Rect inner = clip;
    if (clipsToBounds_) {
        const Rect b = bounds_.presentation(now);
        inner = clip.intersection(grown(boxOf(b, toDevice), kCullMargin));
        if (!inner.isEmpty())
            context.clipToRect(b);
    }
    if (inner.isEmpty()) {
        context.restoreGState();
        return;
    }
    // Work the context holds back is written here, before each view, as it always was: where
    // the shortcuts join steps can move a value by one step, so the screen keeps one order.
    cairo_t* cr = context.cairo();
    // A translucent view fades as one picture: its subviews do not show through each other.
    if (alpha < 1) {
        if (meets(contentExtent(now), toDevice, inner) &&
            !(pass.layers && pass.layers->paint(*this, context, alpha, now))) {
            cairo_push_group(cr);
            drawContent(context, now, pass, inner);
            cairo_pop_group_to_source(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            cairo_paint_with_alpha(cr, alpha);
        }
    } else {
        drawContent(context, now, pass, inner);
    }
    context.restoreGState();
}

void View::drawContent(ImageContext& context, double now, DrawPass& pass) {
    drawContent(context, now, pass, context.clipBoundsInPixels());
}

void View::drawContent(ImageContext& context, double now, DrawPass& pass, const Rect& clip) {
    // An ancestor of the cover paints before it; only its subviews from the cover on show.
    const bool beforeCover = pass.cover && !pass.coverReached;
    if (!beforeCover &&
        meets(bounds_.presentation(now).united(bounds_.model()), context.ctm(), clip)) {
        context.saveGState();
        draw(context);
        context.restoreGState();
    }
    const auto children = subviews_;
    for (auto& child : children)
        child->drawTree(context, now, pass, clip);
}

} // namespace platform
