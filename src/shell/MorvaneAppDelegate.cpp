#include "shell/MorvaneAppDelegate.h"

#include "capture/DevelopingShow.h"
#include "capture/MorvaneViewController.h"
#include "library/LibraryPhoto.h"
#include "library/LibraryViewController.h"
#include "prints/PaperPrinter.h"
#include "prints/PrintLists.h"
#include "prints/RecentViewController.h"
#include "shell/CameraNotices.h"
#include "shell/DesktopPreferences.h"
#include "shell/MainScreen.h"
#include "shell/SkinResources.h"

#include "platform/foundation/HardwareModel.h"
#include "platform/foundation/UserDefaults.h"

MorvaneAppDelegate::MorvaneAppDelegate() : printLists_(std::make_shared<PrintLists>()) {}

// Teardown is ownership: every module, controller and list is held by a member and goes with
// the delegate.
MorvaneAppDelegate::~MorvaneAppDelegate() = default;

void MorvaneAppDelegate::applicationDidFinishLaunching(platform::Application&) {
    // Preferences, read once: a change takes effect at the next start.
    const platform::UserDefaults defaults = platform::UserDefaults::standard();
    const std::string skinSuffix = SkinResources::skinSuffix(defaults.integerForKey("skin"));
    canVibrate_ = defaults.boolForKey("canVibrate");
    canDate_ = defaults.boolForKey("canDate");
    isHighQuality_ = defaults.boolForKey("isHighQuality");
    selfTimerDelay_ = DesktopPreferences::selfTimer(defaults);
    playsSounds_ = DesktopPreferences::playsSounds(defaults);
    showsLookLive_ = DesktopPreferences::showsLookLive(defaults);
    paperPrinter_ = std::make_shared<PaperPrinter>(DesktopPreferences::printer(defaults));
    paperPrinter_->setOverlay(window_, CameraNotices::kFontName);
    loadShutterSound();

    // The two lists, copied from the shipped defaults on a first launch.
    printLists_->load();

    // Whatever the last run left, launch starts in camera mode and not saving.
    isEditMode_ = false;
    isSaving_ = false;

    // The live camera goes in first, so that everything added later lies above it.
    if (window_ && viewController_) {
        window_->addSubview(viewController_->view());
        window_->makeKeyAndVisible();
    }

    platform();
    buildMainScreen(skinSuffix);
    mainScreen_->showPages(printLists_->restoredCategoryNumber(),
                           printLists_->restoredFrameNumber());
    if (recentController_)
        recentController_->setPaperPrinter(paperPrinter_);
    mainScreen_->setOnStripCameToRest([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->stripCameToRest();
            // The live picture follows the page the strip settled on.
            self->showLookLive();
        }
    });
    showLookLive();
}

void MorvaneAppDelegate::platform() {
    platformString_ = platform::HardwareModel::current();
}

void MorvaneAppDelegate::applicationWillTerminate(platform::Application&) {
    // The pages where the strips stand now, and with them both lists where they changed.
    stripCameToRest();
}

void MorvaneAppDelegate::stripCameToRest() {
    // A run that never finished launching has no strips to record, and writing then would
    // replace the lists of the last good run with defaults.
    if (!mainScreen_)
        return;
    printLists_->recordStripPages(mainScreen_->categoryNumber(), mainScreen_->frameNumber());
}
