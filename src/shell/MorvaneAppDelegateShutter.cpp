#include "shell/MorvaneAppDelegate.h"

#include "capture/DevelopingShow.h"
#include "capture/MorvaneViewController.h"
#include "capture/PrintComposer.h"
#include "library/LibraryPhoto.h"
#include "prints/PrintLists.h"
#include "shell/DelegatePrintSink.h"

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"

// A print's sequence is chained by the shutter, the album's answer and three one-shot timers;
// the developing show moves the views.

namespace {

constexpr double kLibraryPrintDelay = 0.1; // seconds

} // namespace

void MorvaneAppDelegate::shutterButtonTouched() {
    if (isSaving_ || !developingShow_)
        return;
    // Refused, not queued: right after a library print there is nothing left to print, and
    // for half a second after a camera print there is no camera on screen to take a picture.
    // Accepting either would leave the shutter waiting for an answer that never comes.
    if (isEditMode_ && !libraryPhoto_->originalImage())
        return;
    // Nor while the camera has no picture (gone, or still starting): a print of nothing
    // would only hide that.
    if (!isEditMode_ && !(viewController_ && viewController_->canTakePicture()))
        return;

    isSaving_ = true;
    startDeveloping();
    initResult();
    if (!isEditMode_) {
        viewController_->cameraController()->takePicture();
        return;
    }
    platform::Timer::scheduledTimer(kLibraryPrintDelay,
                                    actionFor(&MorvaneAppDelegate::saveRollImage));
}

void MorvaneAppDelegate::startDeveloping() {
    developingShow_->startDeveloping();
}

void MorvaneAppDelegate::initResult() {
    developingShow_->initResult();
}

void MorvaneAppDelegate::endDeveloping() {
    developingShow_->endDeveloping();
}

void MorvaneAppDelegate::dropDownResult() {
    developingShow_->dropDownResult(canVibrate_);
}

void MorvaneAppDelegate::removeResult() {
    developingShow_->removeResult();
}

void MorvaneAppDelegate::saveRollImage() {
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    const auto completion = [weak](const platform::ImageRef& image,
                                   const std::optional<std::string>& error) {
        if (auto self = weak.lock())
            self->imageDidFinishSavingWithErrorContextInfo(image, error);
    };
    DelegatePrintSink sink(*this, completion);
    const platform::ImageRef& photograph = libraryPhoto_->originalImage();
    const bool made = photograph && PrintComposer::composeLibraryPrint(
                                        *photograph, DelegatePrintSink::inputsFrom(*this), sink);
    // Only the album's answer ends the developing show; a print that could not be made still
    // needs one, or the shutter would stay closed for good.
    if (!made) {
        developingShow_->showDevelopedPrint(nullptr);
        platform::RunLoop::main().post(
            [completion] { completion(nullptr, std::string("The print could not be made.")); });
    }
}

void MorvaneAppDelegate::imageDidFinishSavingWithErrorContextInfo(
    const platform::ImageRef&, const std::optional<std::string>&) {
    libraryPhoto_->printed();
    isSaving_ = false;
    endDeveloping();
    dropDownResult();
}

void MorvaneAppDelegate::saveImageWithName(const platform::ImageRef& image,
                                           const std::string& name) {
    // What is shown is what was stored, read back from the file.
    if (printLists_->saveImageWithName(image, name) && developingShow_)
        developingShow_->showDevelopedPrint(loadImage(name));
}

void MorvaneAppDelegate::saveImage2WithName(const platform::ImageRef& image,
                                            const std::string& name) {
    printLists_->saveImage2WithName(image, name);
}

platform::ImageRef MorvaneAppDelegate::loadImage(const std::string& name) {
    return printLists_->loadImage(name);
}
