#include "shell/MorvaneAppDelegate.h"

#include "capture/LiveLook.h"
#include "capture/MorvaneViewController.h"
#include "capture/SelfTimer.h"
#include "shell/DelegatePrintSink.h"
#include "shell/DesktopPreferences.h"

#include "platform/foundation/UserDefaults.h"

// The live picture shown through the look the print will have, or bare.

void MorvaneAppDelegate::lookLiveKeyPressed() {
    showsLookLive_ = !showsLookLive_;
    showLookLive();
    platform::UserDefaults defaults = platform::UserDefaults::standard();
    defaults.setObjectForKey(platform::PropertyList::boolean(showsLookLive_),
                             DesktopPreferences::kShowsLookLive);
    const bool kept = defaults.synchronize();
    std::string note = showsLookLive_ ? "Look shown live" : "Look at print only";
    // The choice holds for this run either way; only the next start would forget it.
    if (!kept)
        note += " (not kept)";
    // The timer's note is the camera's one place for a word over the picture.
    if (selfTimer_)
        selfTimer_->showNote(note);
}

void MorvaneAppDelegate::showLookLive() {
    if (!viewController_)
        return;
    if (!showsLookLive_ || !mainScreen_) {
        // Bare, as the camera was before: no treatment at all, not one that changes nothing.
        viewController_->setSquareTreatment(nullptr);
        return;
    }
    if (!liveLook_)
        liveLook_ = std::make_shared<LiveLook>();
    liveLook_->setInputs(DelegatePrintSink::inputsFrom(*this));
    viewController_->setSquareTreatment(LiveLook::treatment(liveLook_));
}
