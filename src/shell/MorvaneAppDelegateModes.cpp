#include "shell/MorvaneAppDelegate.h"

#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"

// The flags and lamps change the moment a handler runs; only the slides take time, and no
// handler waits for them.

void MorvaneAppDelegate::slideView(const std::shared_ptr<platform::View>& view, double y) {
    if (!view)
        return;
    platform::View::beginAnimations();
    platform::View::setAnimationDuration(0.5);
    // Set, not added: positions never accumulate however often a handler runs.
    view->setTransform(platform::AffineTransform::makeTranslation(0, y));
    platform::View::commitAnimations();
}

void MorvaneAppDelegate::libraryButtonTouched() {
    if (isSaving_ || !libraryController_)
        return;
    libraryController_->loadLibrary();
    slideView(libraryController_->view(), 0);
    isEditMode_ = true;
    libraryLamp_->setHidden(false);
    cameraLamp_->setHidden(true);
}

void MorvaneAppDelegate::cameraButtonTouched() {
    // Not guarded by isSaving: the end of a library print comes back through here.
    if (!isEditMode_ || !libraryController_)
        return;
    libraryPhotoView_->setHidden(true);
    libraryController_->unloadLibrary();
    slideView(libraryController_->view(), 480);
    isEditMode_ = false;
    libraryLamp_->setHidden(true);
    cameraLamp_->setHidden(false);
}

void MorvaneAppDelegate::recentButtonTouched() {
    if (isSaving_ || !recentController_)
        return;
    slideView(recentController_->view(), 0);
    // At once, while the gallery slides up.
    recentController_->refreshImages();
}
