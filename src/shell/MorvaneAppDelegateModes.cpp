#include "shell/MorvaneAppDelegate.h"

#include "library/LibraryPhoto.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "shell/MainScreen.h"

// The flags and lamps change the moment a handler runs; only the slides take time, and no
// handler waits for them.

void MorvaneAppDelegate::libraryButtonTouched() {
    if (isSaving_ || !libraryController_)
        return;
    cancelSelfTimer();
    libraryController_->bringUp();
    isEditMode_ = true;
    mainScreen_->lightLamps(true);
}

void MorvaneAppDelegate::cameraButtonTouched() {
    // Not guarded by isSaving: the end of a library print comes back through here.
    if (!isEditMode_ || !libraryController_)
        return;
    cancelSelfTimer();
    libraryPhoto_->libraryPhotoView()->setHidden(true);
    libraryController_->putAway();
    isEditMode_ = false;
    mainScreen_->lightLamps(false);
}

void MorvaneAppDelegate::recentButtonTouched() {
    if (isSaving_ || !recentController_)
        return;
    cancelSelfTimer();
    platform::View::animate(0.5, [&] {
        recentController_->view()->setTransform(platform::AffineTransform::makeTranslation(0, 0));
    });
    // At once, while the gallery slides up.
    recentController_->refreshImages();
}

void MorvaneAppDelegate::loadImageFromRoll(const platform::ImageRef& image) {
    // The picker goes even for a pick without a picture, so the screen is never left under it.
    if (libraryPhoto_)
        libraryPhoto_->loadImageFromRoll(image, platformString_);
    if (libraryController_)
        libraryController_->putAway();
}
