#include "platform/ui/ViewController.h"

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/Timer.h"

#include <algorithm>
#include <cstdio>

namespace platform {

std::shared_ptr<View> ViewController::view() {
    if (!view_) {
        loadView();
        if (!view_)
            view_ = std::make_shared<View>(Rect{0, 0, 320, 480});
        viewDidLoad();
    }
    return view_;
}

void ViewController::loadView() {
    if (!nibName_.empty()) {
        std::string error;
        if (auto loaded = InterfaceLoader::loadNamed(nibName_, *this, error)) {
            view_ = std::move(loaded);
            return;
        }
        std::fprintf(stderr, "interface file %s: %s\n", nibName_.c_str(), error.c_str());
    }
    view_ = std::make_shared<View>(Rect{0, 0, 320, 480});
}

void ViewController::connectOutlet(const std::string&, std::shared_ptr<View>) {}

std::function<void()> ViewController::actionNamed(const std::string&) {
    return nullptr;
}

namespace {

// The rectangle a view is laid out over in its parent, leaving its transform out: a view
// moved off screen by a translation still hands over the place it was made for.
Rect layoutRect(const View& view) {
    const Point c = view.center();
    const Size s = view.bounds().size;
    return {c.x - s.width / 2, c.y - s.height / 2, s.width, s.height};
}

std::size_t indexIn(const View& parent, const View& child) {
    const auto& siblings = parent.subviews();
    const auto it = std::find_if(siblings.begin(), siblings.end(),
                                 [&child](const auto& v) { return v.get() == &child; });
    return static_cast<std::size_t>(it - siblings.begin());
}

} // namespace

void ViewController::presentModalViewController(std::shared_ptr<ViewController> controller,
                                                bool animated) {
    if (!controller || controller.get() == this)
        return;
    if (modalViewController_) {
        std::fprintf(stderr, "morvane: a controller that presents another cannot present a\n"
                             "second one; dismiss the first\n");
        return;
    }
    if (controller->parentViewController() || controller->modalViewController_) {
        std::fprintf(stderr, "morvane: that controller is presented already\n");
        return;
    }
    modalViewController_ = controller;
    controller->parentViewController_ = weak_from_this();

    const std::shared_ptr<View> presenting = view();
    const std::shared_ptr<View> presented = controller->view();
    std::shared_ptr<View> parent = presenting->superview();
    Rect place = layoutRect(*presenting);
    std::size_t index = 0;
    modalOverWindow_ = !parent;
    if (parent) {
        index = indexIn(*parent, *presenting) + 1;
    } else if (Application::exists() && Application::shared().window()) {
        parent = Application::shared().window();
        place = parent->bounds();
        index = parent->subviews().size();
    }
    presented->setTransform(AffineTransform::identity());
    presented->setFrame(place);
    if (parent) {
        // In front of the presenting view until that leaves: then it holds the same position.
        parent->insertSubviewAt(presented, index);
        if (animated) {
            presented->setTransform(AffineTransform::makeTranslation(0, place.height()));
            View::animate(kModalTransitionDuration,
                          [&presented] { presented->setTransform(AffineTransform::identity()); });
            // The presenting view shows beneath the slide and leaves when it is covered,
            // unless the presentation was undone in the meantime.
            Timer::scheduledTimer(
                kModalTransitionDuration,
                [self = weak_from_this(), weakPresented = std::weak_ptr(controller),
                 weakView = std::weak_ptr(presenting)] {
                    auto me = self.lock();
                    auto shown = weakPresented.lock();
                    auto view = weakView.lock();
                    if (me && shown && view && me->modalViewController_ == shown &&
                        view->superview() == shown->view()->superview())
                        view->removeFromSuperview();
                });
        } else if (presenting->superview() == parent) {
            presenting->removeFromSuperview();
        }
    }
    viewDidDisappear(animated);
    controller->viewDidAppear(animated);
}

void ViewController::dismissModalViewControllerAnimated(bool animated) {
    if (!modalViewController_) {
        if (auto parent = parentViewController())
            parent->dismissModalViewControllerAnimated(animated);
        return;
    }
    const std::shared_ptr<ViewController> controller = std::move(modalViewController_);
    modalViewController_.reset();
    // What the presented controller presents goes with it.
    if (controller->modalViewController_)
        controller->dismissModalViewControllerAnimated(false);
    controller->parentViewController_.reset();

    const std::shared_ptr<View> presented = controller->view();
    const std::shared_ptr<View> presenting = view();
    if (auto parent = presented->superview()) {
        if (presenting->superview() != parent && !modalOverWindow_)
            parent->insertSubviewAt(presenting, indexIn(*parent, *presented));
        if (animated) {
            const double drop = presented->bounds().height();
            View::animate(kModalTransitionDuration, [&presented, drop] {
                presented->setTransform(AffineTransform::makeTranslation(0, drop));
            });
            Timer::scheduledTimer(kModalTransitionDuration,
                                  [weakPresented = std::weak_ptr(controller)] {
                                      auto gone = weakPresented.lock();
                                      // Presented again while it slid away: it stays.
                                      if (!gone || gone->parentViewController())
                                          return;
                                      gone->view()->removeFromSuperview();
                                      gone->view()->setTransform(AffineTransform::identity());
                                  });
        } else {
            presented->removeFromSuperview();
        }
    }
    controller->viewDidDisappear(animated);
    viewDidAppear(animated);
}

} // namespace platform
