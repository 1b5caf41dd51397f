#include "platform/ui/Window.h"

#include "platform/ui/Application.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

namespace platform {

void Window::makeKeyAndVisible() {
    key_ = true;
    setHidden(false);
    markNeedsDisplay();
    if (Application::exists())
        Application::shared().setWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

void Window::clearNeedsDisplay() {
    dirty_.clear();
}

void Window::invalidate(const Rect& rect) {
    dirty_.add(rect.intersection(frame()));
}

void Window::noteMotion(const std::shared_ptr<View>& view, double until, double now) {
    std::erase_if(motions_, [](const Motion& m) { return m.view.expired(); });
    for (Motion& m : motions_)
        if (m.view.lock() == view) {
            m.until = std::max(m.until, until);
            return;
        }
    motions_.push_back({view, until, view->drawnRect(now)});
}

DirtyRegion Window::takeDirtyRegion(double now) {
    if (needsDisplay())
        screenChanged();
    for (auto it = motions_.begin(); it != motions_.end();) {
        const auto view = it->view.lock();
        const bool here = view && view->window().get() == this;
        const Rect current = here ? view->drawnRect(now) : Rect{};
        invalidate(it->last);
        invalidate(current);
        if (view)
            view->noteDrawingChanged();
        if (!here || now >= it->until) {
            it = motions_.erase(it);
        } else {
            it->last = current;
            ++it;
        }
    }
    DirtyRegion taken = std::move(dirty_);
    dirty_.clear();
    return taken;
}

void Window::setScreenVisible(bool visible) {
    if (visible == screenVisible_)
        return;
    screenVisible_ = visible;
    if (visible) {
        markNeedsDisplay();
        screenChanged();
    }
}

void Window::whenScreenChanges(std::function<void()> action) {
    if (action)
        changeWatchers_.push_back(std::move(action));
}

void Window::setPixelScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0)
        scale = 1;
    if (scale == pixelScale_)
        return;
    pixelScale_ = scale;
    std::erase_if(scaleWatchers_, [](const ScaleWatcher& w) { return w.owner.expired(); });
    // A copy: a watcher may start watching from inside its action.
    const auto watchers = scaleWatchers_;
    for (const ScaleWatcher& watcher : watchers)
        if (!watcher.owner.expired())
            watcher.action();
}

void Window::watchPixelScale(std::weak_ptr<const void> owner, std::function<void()> action) {
    if (action)
        scaleWatchers_.push_back({std::move(owner), std::move(action)});
}

void Window::screenChanged() {
    // Taken first: a watcher that still cannot be seen asks again.
    auto watchers = std::move(changeWatchers_);
    changeWatchers_.clear();
    for (auto& watcher : watchers)
        watcher();
}

void Window::touchDown(Point point) {
    cancelTouch();
    touched_ = hitTest(convertPointFromView(point, nullptr));
    touchStart_ = lastTouch_ = point;
    if (touched_)
        touched_->touchesBegan(touched_->convertPointFromView(point, nullptr));
}

void Window::touchMove(Point point) {
    if (!touched_)
        return;
    lastTouch_ = point;
    if (touched_->isControl() &&
        std::hypot(point.x - touchStart_.x, point.y - touchStart_.y) > kScrollSlop) {
        // A drag that began on a control inside a scroll view moves the scroll view.
        for (auto node = touched_->superview(); node; node = node->superview()) {
            auto scroll = std::dynamic_pointer_cast<ScrollView>(node);
            if (!scroll || !scroll->isScrollEnabled() || !scroll->isUserInteractionEnabled())
                continue;
            touched_->touchesCancelled(touched_->convertPointFromView(point, nullptr));
            touched_ = scroll;
            scroll->touchesBegan(scroll->convertPointFromView(touchStart_, nullptr));
            break;
        }
    }
    touched_->touchesMoved(touched_->convertPointFromView(point, nullptr));
}

void Window::touchUp(Point point) {
    if (!touched_)
        return;
    auto view = std::move(touched_);
    touched_.reset();
    view->touchesEnded(view->convertPointFromView(point, nullptr));
}

bool Window::scrollWheel(Point point, Point notches) {
    for (auto node = hitTest(convertPointFromView(point, nullptr)); node;
         node = node->superview()) {
        auto scroll = std::dynamic_pointer_cast<ScrollView>(node);
        if (scroll && scroll->isUserInteractionEnabled() && scroll->scrollWheel(notches))
            return true;
    }
    return false;
}

void Window::cancelTouch() {
    if (!touched_)
        return;
    auto view = std::move(touched_);
    touched_.reset();
    view->touchesCancelled(view->convertPointFromView(lastTouch_, nullptr));
}

} // namespace platform
