#include "library/LibraryPhoto.h"

#include "library/RollSquare.h"

LibraryPhoto::LibraryPhoto()
    : libraryPhotoView_(std::make_shared<platform::ImageView>(platform::Rect{0, 0, 320, 320})) {
    libraryPhotoView_->setHidden(true);
}

void LibraryPhoto::loadImageFromRoll(const platform::ImageRef& image,
                                     std::string_view platformString) {
    if (!image)
        return;
    platform::ImageRef square =
        RollSquare::makeSquare(*image, RollSquare::squareSide(platformString));
    if (!square)
        return;
    originalImage_ = std::move(square);
    resizedImage_ = RollSquare::makePreview(originalImage_);
    libraryPhotoView_->setImage(resizedImage_);
    libraryPhotoView_->setHidden(false);
}

void LibraryPhoto::printed() {
    originalImage_ = nullptr;
    libraryPhotoView_->setHidden(true);
}
