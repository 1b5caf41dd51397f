#include "platform/ui/Window.h"

#include "platform/ui/Application.h"
#include "platform/ui/ScrollView.h"

#include <cmath>

namespace platform {

void Window::makeKeyAndVisible() {
    key_ = true;
    setHidden(false);
    markNeedsDisplay();
    if (Application::exists())
        Application::shared().setWindow(std::static_pointer_cast<Window>(shared_from_this()));
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
