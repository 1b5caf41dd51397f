#include "shell/MorvaneAppDelegate.h"

#include "capture/DevelopingShow.h"
#include "capture/MorvaneViewController.h"
#include "capture/PrintComposer.h"
#include "capture/SelfTimer.h"
#include "library/LibraryPhoto.h"
#include "prints/PrintLists.h"
#include "shell/DelegatePrintSink.h"
#include "shell/DesktopPreferences.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/WaveFile.h"

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"

// A print's sequence is chained by the shutter, the album's answer and three one-shot timers;
// the developing show moves the views.

namespace {

constexpr double kLibraryPrintDelay = 0.1; // seconds

} // namespace

void MorvaneAppDelegate::shutterButtonTouched() {
    // Pressed again while the self-timer counts: the shot is called off.
    if (cancelSelfTimer())
        return;
    if (!canTakeShot())
        return;
    // The timer is for getting into the picture; a library photograph prints at once.
    if (!isEditMode_ && selfTimer_ &&
        selfTimer_->start(selfTimerDelay_, actionFor(&MorvaneAppDelegate::takeShot)))
        return;
    takeShot();
}

bool MorvaneAppDelegate::canTakeShot() const {
    if (isSaving_ || !developingShow_)
        return false;
    // Refused, not queued: right after a library print there is nothing left to print, and
    // for half a second after a camera print there is no camera on screen to take a picture.
    // Accepting either would leave the shutter waiting for an answer that never comes.
    if (isEditMode_ && !libraryPhoto_->originalImage())
        return false;
    // Nor while the camera has no picture (gone, or still starting): a print of nothing
    // would only hide that.
    return isEditMode_ || (viewController_ && viewController_->canTakePicture());
}

void MorvaneAppDelegate::takeShot() {
    // Checked again: at the end of a countdown the camera may be gone.
    if (!canTakeShot())
        return;
    if (playsSounds_ && !shutterSound_.empty() && platform::Application::exists())
        platform::Application::shared().playSound(shutterSound_, shutterSoundRate_);
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

bool MorvaneAppDelegate::cancelSelfTimer() {
    return selfTimer_ && selfTimer_->cancel();
}

void MorvaneAppDelegate::selfTimerKeyPressed() {
    if (!selfTimer_)
        return;
    cancelSelfTimer();
    selfTimerDelay_ = SelfTimer::nextDelay(selfTimerDelay_);
    platform::UserDefaults defaults = platform::UserDefaults::standard();
    defaults.setObjectForKey(platform::PropertyList::integer(selfTimerDelay_),
                             DesktopPreferences::kSelfTimer);
    const bool kept = defaults.synchronize();
    std::string note = selfTimerDelay_ == 0
                           ? std::string("Self-timer off")
                           : "Self-timer " + std::to_string(selfTimerDelay_) + " s";
    // The choice holds for this run either way; only the next start would forget it.
    if (!kept)
        note += " (not kept)";
    selfTimer_->showNote(note);
}

void MorvaneAppDelegate::loadShutterSound() {
    const auto file = platform::Bundle::main().pathForResource("shutter", "wav");
    std::string error;
    const auto sound = file ? platform::WaveFile::read(*file, error) : std::nullopt;
    shutterSound_ = sound ? sound->samples : std::vector<std::int16_t>{};
    shutterSoundRate_ = sound ? sound->sampleRate : 0;
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
