#include "platform/ui/View.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

Point rectCenter(const Rect& r) {
    return {r.x() + r.width() / 2, r.y() + r.height() / 2};
}

bool invertible(const AffineTransform& t) {
    return t.a * t.d - t.b * t.c != 0;
}

// Shares `delta` among the flexible parts of one axis in proportion to their sizes (equally
// when they are all zero), as the platform's autoresizing does.
void distribute(double delta, double parts[3], const bool flexible[3]) {
    double total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i)
        if (flexible[i]) {
            total += parts[i];
            ++count;
        }
    if (count == 0)
        return;
    for (int i = 0; i < 3; ++i)
        if (flexible[i])
            parts[i] += total != 0 ? delta * parts[i] / total : delta / count;
}

} // namespace

View::View(Rect frame)
    : center_(rectCenter(frame)), bounds_(Rect{0, 0, frame.width(), frame.height()}) {}

View::~View() {
    // The subviews may outlive this view (held elsewhere); they must not point back here.
    for (auto& child : subviews_)
        child->superview_.reset();
}

Rect View::frame() const {
    const Rect b = bounds_.model();
    const Point c = center_.model();
    const AffineTransform& t = transform_.model();
    if (t.isIdentity())
        return {c.x - b.width() / 2, c.y - b.height() / 2, b.width(), b.height()};
    const double hw = b.width() / 2, hh = b.height() / 2;
    const Point corners[4] = {{-hw, -hh}, {hw, -hh}, {-hw, hh}, {hw, hh}};
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (int i = 0; i < 4; ++i) {
        const Point p = t.apply(corners[i]);
        x0 = i ? std::min(x0, p.x) : p.x;
        y0 = i ? std::min(y0, p.y) : p.y;
        x1 = i ? std::max(x1, p.x) : p.x;
        y1 = i ? std::max(y1, p.y) : p.y;
    }
    return {c.x + x0, c.y + y0, x1 - x0, y1 - y0};
}

template <typename T>
void View::change(AnimatedValue<T> View::*member, const T& value) {
    RunLoop& loop = RunLoop::main();
    Animator& animator = loop.animator();
    auto weak = weak_from_this();
    if (!animator.isInTransaction() || weak.expired()) {
        const bool still =
            (this->*member).model() == value && !(this->*member).isMoving(loop.now());
        if (!still)
            invalidateDrawnArea();
        (this->*member).set(value);
        if (!still)
            invalidateDrawnArea();
        return;
    }
    (this->*member).setInBlock(value, loop.now());
    animator.addChange([weak, member](double start, double duration) {
        if (auto self = weak.lock()) {
            // Where it is drawn until now: the motion starts there.
            self->invalidateDrawnArea();
            if (((*self).*member).startPending(start, duration)) {
                if (auto window = self->window())
                    self->noteMotions(*window, start);
            } else {
                self->invalidateDrawnArea();
            }
        }
    });
}

void View::setFrame(const Rect& frame) {
    // Outside an animation the move and the resize are one change: what lies between them
    // (the new centre at the old size) is never drawn, so it is not marked either.
    const bool oneChange = !RunLoop::main().animator().isInTransaction();
    if (oneChange) {
        invalidateDrawnArea();
        ++batching_;
    }
    change(&View::center_, rectCenter(frame));
    const Rect b = bounds_.model();
    setBounds({b.origin, frame.size});
    if (oneChange) {
        --batching_;
        invalidateDrawnArea();
    }
}

void View::setBounds(const Rect& bounds) {
    const Size oldSize = bounds_.model().size;
    change(&View::bounds_, bounds);
    if (!(oldSize == bounds.size))
        boundsSizeChanged(oldSize);
}

void View::setCenter(Point center) {
    change(&View::center_, center);
}

void View::setTransform(const AffineTransform& transform) {
    change(&View::transform_, transform);
}

void View::setAlpha(double alpha) {
    change(&View::alpha_, std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0));
}

AffineTransform View::presentationTransform() const {
    return transform_.presentation(RunLoop::main().now());
}
double View::presentationAlpha() const {
    return alpha_.presentation(RunLoop::main().now());
}
Point View::presentationCenter() const {
    return center_.presentation(RunLoop::main().now());
}
Rect View::presentationBounds() const {
    return bounds_.presentation(RunLoop::main().now());
}

void View::setHidden(bool hidden) {
    if (hidden_ == hidden)
        return;
    // The same place shown or uncovered; measured as if shown either way.
    invalidateDrawnArea(false);
    hidden_ = hidden;
}

void View::setClipsToBounds(bool clips) {
    if (clipsToBounds_ == clips)
        return;
    // Measured unclipped: that holds whatever either setting shows.
    clipsToBounds_ = false;
    invalidateDrawnArea();
    clipsToBounds_ = clips;
}

void View::setBackgroundColor(std::optional<Color> color) {
    backgroundColor_ = color;
    setNeedsDisplay();
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    if (tag_ == tag)
        return shared_from_this();
    for (auto& child : subviews_)
        if (auto found = child->viewWithTag(tag))
            return found;
    return nullptr;
}

void View::boundsSizeChanged(Size oldSize) {
    const Size newSize = bounds_.model().size;
    const auto children = subviews_;
    for (auto& child : children)
        child->autoresize(oldSize, newSize);
    layoutSubviews();
    invalidateDrawnArea();
}

void View::autoresize(Size oldParent, Size newParent) {
    if (autoresizingMask_ == 0)
        return;
    const Size size = bounds_.model().size;
    const Point c = center_.model();
    double h[3] = {c.x - size.width / 2, size.width, oldParent.width - (c.x + size.width / 2)};
    const bool hFlex[3] = {(autoresizingMask_ & FlexibleLeftMargin) != 0,
                           (autoresizingMask_ & FlexibleWidth) != 0,
                           (autoresizingMask_ & FlexibleRightMargin) != 0};
    double v[3] = {c.y - size.height / 2, size.height, oldParent.height - (c.y + size.height / 2)};
    const bool vFlex[3] = {(autoresizingMask_ & FlexibleTopMargin) != 0,
                           (autoresizingMask_ & FlexibleHeight) != 0,
                           (autoresizingMask_ & FlexibleBottomMargin) != 0};
    distribute(newParent.width - oldParent.width, h, hFlex);
    distribute(newParent.height - oldParent.height, v, vFlex);
    setFrame({h[0], v[0], h[1], v[1]});
}

bool View::isDescendantOf(const View& ancestor) const {
    for (const View* node = this; node;) {
        if (node == &ancestor)
            return true;
        auto parent = node->superview_.lock();
        node = parent.get();
    }
    return false;
}

void View::addSubview(const std::shared_ptr<View>& view) {
    insertSubviewAt(view, std::numeric_limits<std::size_t>::max());
}

void View::insertSubviewAt(const std::shared_ptr<View>& given, std::size_t index) {
    // A copy: `given` may be an element of subviews_ itself, which detaching rearranges.
    const std::shared_ptr<View> view = given;
    if (!view || isDescendantOf(*view))
        return;
    const bool moved = view->superview().get() != this;
    view->detachFromSuperview();
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->superview_ = weak_from_this();
    view->invalidateDrawnArea();
    if (auto w = window())
        view->noteMotions(*w, RunLoop::main().now());
    if (moved)
        view->didMoveToSuperview();
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    if (view && view->superview().get() == this)
        insertSubviewAt(view, subviews_.size());
}

void View::detachFromSuperview() {
    auto parent = superview_.lock();
    if (!parent)
        return;
    // What it covered shows again.
    invalidateDrawnArea();
    superview_.reset();
    auto& siblings = parent->subviews_;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                  [this](const auto& v) { return v.get() == this; }),
                   siblings.end());
}

void View::removeFromSuperview() {
    if (superview_.expired())
        return;
    // Keep this view alive through the call even if the superview held the last reference.
    auto self = weak_from_this().lock();
    detachFromSuperview();
    didMoveToSuperview();
}

std::shared_ptr<Window> View::window() const {
    std::shared_ptr<View> node = std::const_pointer_cast<View>(weak_from_this().lock());
    if (!node)
        node = superview();
    for (; node; node = node->superview())
        if (auto window = std::dynamic_pointer_cast<Window>(node))
            return window;
    return nullptr;
}

AffineTransform View::toSuperview() const {
    const Point bc = rectCenter(bounds_.model());
    const Point c = center_.model();
    return AffineTransform::makeTranslation(-bc.x, -bc.y)
        .concat(transform_.model())
        .concat(AffineTransform::makeTranslation(c.x, c.y));
}

AffineTransform View::presentationToSuperview(double now) const {
    const Point bc = rectCenter(bounds_.presentation(now));
    const Point c = center_.presentation(now);
    return AffineTransform::makeTranslation(-bc.x, -bc.y)
        .concat(transform_.presentation(now))
        .concat(AffineTransform::makeTranslation(c.x, c.y));
}

bool View::pointInside(Point point) const {
    return bounds_.model().contains(point);
}

std::shared_ptr<View> View::hitTest(Point point) {
    if (hidden_ || alpha_.model() < 0.01 || !userInteractionEnabled_ || !pointInside(point))
        return nullptr;
    const auto children = subviews_;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const AffineTransform toParent = (*it)->toSuperview();
        if (!invertible(toParent))
            continue;
        if (auto hit = (*it)->hitTest(toParent.inverted().apply(point)))
            return hit;
    }
    return weak_from_this().lock();
}

Point View::convertPointToView(Point point, const View* view) const {
    AffineTransform toRoot;
    for (const View* node = this; node;) {
        toRoot = toRoot.concat(node->toSuperview());
        auto parent = node->superview_.lock();
        node = parent.get();
    }
    const Point inRoot = toRoot.apply(point);
    return view ? view->convertPointFromView(inRoot, nullptr) : inRoot;
}

Point View::convertPointFromView(Point point, const View* view) const {
    const Point inRoot = view ? view->convertPointToView(point, nullptr) : point;
    AffineTransform toRoot;
    for (const View* node = this; node;) {
        toRoot = toRoot.concat(node->toSuperview());
        auto parent = node->superview_.lock();
        node = parent.get();
    }
    return toRoot.inverted().apply(inRoot);
}

void View::touchesBegan(Point point) {
    if (auto parent = superview())
        parent->touchesBegan(toSuperview().apply(point));
}
void View::touchesMoved(Point point) {
    if (auto parent = superview())
        parent->touchesMoved(toSuperview().apply(point));
}
void View::touchesEnded(Point point) {
    if (auto parent = superview())
        parent->touchesEnded(toSuperview().apply(point));
}
void View::touchesCancelled(Point point) {
    if (auto parent = superview())
        parent->touchesCancelled(toSuperview().apply(point));
}

void View::animate(double seconds, const std::function<void()>& changes) {
    beginAnimations();
    setAnimationDuration(seconds);
    if (changes)
        changes();
    commitAnimations();
}

void View::beginAnimations() {
    RunLoop::main().animator().beginTransaction();
}

void View::setAnimationDuration(double seconds) {
    RunLoop::main().animator().setDuration(seconds);
}

void View::commitAnimations() {
    RunLoop& loop = RunLoop::main();
    loop.animator().commitTransaction(loop.now());
}

} // namespace platform
