#include "shell/KeyboardShortcuts.h"

#include "capture/MorvaneViewController.h"
#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "shell/MorvaneAppDelegate.h"

#include <algorithm>
#include <cmath>

namespace {

bool isOnScreen(const std::shared_ptr<platform::ViewController>& controller) {
    return controller && controller->isViewLoaded() &&
           controller->view()->transform().ty < platform::Application::kScreenHeight;
}

bool isPickerOpen(const std::shared_ptr<LibraryViewController>& controller) {
    return controller && controller->modalViewController() != nullptr;
}

bool turnPage(const std::shared_ptr<platform::ScrollView>& strip, double pageWidth, int pages,
              int step) {
    if (!strip)
        return false;
    const int page = KeyboardShortcuts::nearestPage(strip->contentOffset().x, pageWidth, pages);
    const int target = std::clamp(page + step, 0, pages - 1);
    platform::View::animate(KeyboardShortcuts::kPageDuration, [&] {
        strip->setContentOffset({target * pageWidth, 0});
    });
    return true;
}

} // namespace

int KeyboardShortcuts::nearestPage(double offsetX, double pageWidth, int pages) {
    if (!std::isfinite(offsetX) || pageWidth <= 0 || pages <= 0)
        return 0;
    const double page = std::round(offsetX / pageWidth);
    return static_cast<int>(std::clamp(page, 0.0, static_cast<double>(pages - 1)));
}

bool KeyboardShortcuts::handle(MorvaneAppDelegate& delegate, const std::string& key) {
    const bool galleryShown = isOnScreen(delegate.recentController());
    const bool pickerOpen = isPickerOpen(delegate.libraryController());

    // The live picture's side is a viewing choice, not a touch, so it works over anything.
    if (key == "m" && platform::Application::exists()) {
        auto& application = platform::Application::shared();
        application.setMirrorsLivePicture(!application.mirrorsLivePicture());
        if (const auto& camera = delegate.viewController())
            if (const auto& picker = camera->cameraController())
                picker->setMirrorsLivePicture(application.mirrorsLivePicture());
        return true;
    }
    if (key == "escape") {
        // The gallery lies above the library, so it is the one in front.
        if (galleryShown) {
            delegate.recentController()->doneButtonClicked(nullptr);
            return true;
        }
        if (pickerOpen) {
            const auto& library = delegate.libraryController();
            library->imagePickerControllerDidCancel(*library->rollController());
            return true;
        }
        return false;
    }
    if (galleryShown || pickerOpen)
        return false;

    if (key == "space")
        delegate.shutterButtonTouched();
    else if (key == "c")
        delegate.cameraButtonTouched();
    else if (key == "l")
        delegate.libraryButtonTouched();
    else if (key == "r")
        delegate.recentButtonTouched();
    else if (key == "left" || key == "right")
        return turnPage(delegate.catScrollView(), StripPages::kCategoryPageWidth,
                        StripPages::kCategoryCount, key == "left" ? -1 : 1);
    else if (key == "up" || key == "down")
        return turnPage(delegate.miniFrameView(), StripPages::kFramePageWidth,
                        StripPages::kFrameCount, key == "up" ? -1 : 1);
    else
        return false;
    return true;
}
