#include "shell/MorvaneAppDelegate.h"

#include "library/LibraryViewController.h"
#include "library/RollSquare.h"

void MorvaneAppDelegate::loadImageFromRoll(const platform::ImageRef& image) {
    // A pick without a picture leaves the previous photograph, if any, waiting to be printed;
    // the picker still goes, so the screen is never left under it.
    if (image) {
        platform::ImageRef square =
            RollSquare::makeSquare(*image, RollSquare::squareSide(platformString_));
        if (square) {
            originalImage_ = std::move(square);
            resizedImage_ = RollSquare::makePreview(originalImage_);
            if (libraryPhotoView_) {
                libraryPhotoView_->setImage(resizedImage_);
                libraryPhotoView_->setHidden(false);
            }
        }
    }
    if (!libraryController_)
        return;
    libraryController_->unloadLibrary();
    slideView(libraryController_->view(), 480);
}
