#include "prints/RecentViewController.h"

#include "prints/GalleryRowPictures.h"

#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"

void RecentViewController::showSharpRows() {
    if (!scrollArea_)
        return;
    const auto weak =
        std::weak_ptr(std::static_pointer_cast<RecentViewController>(shared_from_this()));
    // A row that scrolls into view shows its small print until the scroll comes to rest.
    scrollArea_->setOnScrollEnded([weak] {
        if (auto self = weak.lock())
            self->showSharpRows();
    });
    const auto window = isViewLoaded() ? view()->window() : nullptr;
    if (window && !watchesScale_) {
        watchesScale_ = true;
        // Full screen, a resized window: other pixels, other pictures.
        window->watchPixelScale(weak, [weak] {
            if (auto self = weak.lock())
                self->showSharpRows();
        });
    }
    const bool onScreen = window && view()->transform().ty < window->bounds().height();
    if (!onScreen) {
        rowPictures_->letGo();
        return;
    }
    rowPictures_->show(scrollArea_->contentOffset().y, scrollArea_->bounds().height(),
                       window->pixelScale());
}

void RecentViewController::letSharpRowsGoAfter(double seconds) {
    const auto weak =
        std::weak_ptr(std::static_pointer_cast<RecentViewController>(shared_from_this()));
    platform::Timer::scheduledTimer(seconds, [weak] {
        if (auto self = weak.lock())
            self->showSharpRows();
    });
}
