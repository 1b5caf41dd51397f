#include "shell/MorvaneAppDelegate.h"

#include "capture/MorvaneViewController.h"

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/SystemSound.h"
#include "platform/ui/Timer.h"

// A print's sequence is chained by the shutter, the album's answer and three one-shot timers.
// Every move sets a translation outright, so however the chains of two prints interleave the
// views end where the last handler put them.

namespace {

constexpr double kShutterTravel = 320;      // points
constexpr double kHiddenPrintOffset = -250; // points: the print wholly above its strip
constexpr double kDroppedPrintOffset = 85;  // points: wholly below the strip
constexpr double kDropDuration = 1.5;       // seconds
constexpr double kRemovalDelay = 2.0;       // seconds
constexpr double kLibraryPrintDelay = 0.1;  // seconds

} // namespace

void MorvaneAppDelegate::shutterButtonTouched() {
    if (isSaving_)
        return;
    // Refused, not queued: right after a library print there is nothing left to print, and
    // for half a second after a camera print there is no camera on screen to take a picture.
    // Accepting either would leave the shutter waiting for an answer that never comes.
    if (isEditMode_ && !originalImage_)
        return;
    if (!isEditMode_ && !(viewController_ && viewController_->isCameraShown()))
        return;

    isSaving_ = true;
    startDeveloping();
    initResult();
    if (!isEditMode_) {
        viewController_->cameraController()->takePicture();
        return;
    }
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    platform::Timer::scheduledTimer(kLibraryPrintDelay, [weak] {
        if (auto self = weak.lock())
            self->saveRollImage();
    });
}

void MorvaneAppDelegate::startDeveloping() {
    if (window_ && shutterView_)
        window_->addSubview(shutterView_);
    // After a first print the panel waits 320 points above its rest, so it travels twice as
    // far in the same half second.
    slideView(shutterView_, kShutterTravel);
    if (activityWheel_)
        activityWheel_->startAnimating();
    if (window_ && developingMsgView_)
        window_->addSubview(developingMsgView_);
}

void MorvaneAppDelegate::initResult() {
    if (developedImage_)
        developedImage_->setTransform(
            platform::AffineTransform::makeTranslation(0, kHiddenPrintOffset));
    if (cameraView_ && developedView_)
        cameraView_->addSubview(developedView_);
}

void MorvaneAppDelegate::endDeveloping() {
    if (activityWheel_)
        activityWheel_->stopAnimating();
    if (developingMsgView_)
        developingMsgView_->removeFromSuperview();
    // Off the top of the screen, not back to rest: the next print starts from there.
    slideView(shutterView_, -kShutterTravel);
}

void MorvaneAppDelegate::dropDownResult() {
    if (!canVibrate_)
        platform::SystemSound::play(platform::SystemSound::kVibrate);
    if (developedImage_) {
        platform::View::beginAnimations();
        platform::View::setAnimationDuration(kDropDuration);
        developedImage_->setTransform(
            platform::AffineTransform::makeTranslation(0, kDroppedPrintOffset));
        platform::View::commitAnimations();
    }
    // Never cancelled: a print started in the meantime loses its panel and strip when it
    // fires.
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    platform::Timer::scheduledTimer(kRemovalDelay, [weak] {
        if (auto self = weak.lock())
            self->removeResult();
    });
}

void MorvaneAppDelegate::removeResult() {
    if (shutterView_)
        shutterView_->removeFromSuperview();
    if (developedView_)
        developedView_->removeFromSuperview();
    cameraButtonTouched();
}

void MorvaneAppDelegate::imageDidFinishSavingWithErrorContextInfo(
    const platform::ImageRef&, const std::optional<std::string>&) {
    originalImage_ = nullptr;
    isSaving_ = false;
    if (libraryPhotoView_)
        libraryPhotoView_->setHidden(true);
    endDeveloping();
    dropDownResult();
}
