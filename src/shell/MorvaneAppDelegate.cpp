#include "shell/MorvaneAppDelegate.h"

#include "capture/MorvaneViewController.h"
#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/ListRecovery.h"
#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "shell/SkinResources.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/HardwareModel.h"
#include "platform/foundation/UserDefaults.h"

MorvaneAppDelegate::MorvaneAppDelegate() = default;

// Teardown is ownership: every view, controller, list and picture is held by a member and goes
// with the record.
MorvaneAppDelegate::~MorvaneAppDelegate() = default;

std::shared_ptr<MorvaneAppDelegate> MorvaneAppDelegate::sharedDelegate() {
    if (!platform::Application::exists())
        return nullptr;
    return platform::Application::shared().delegateAs<MorvaneAppDelegate>();
}

void MorvaneAppDelegate::applicationDidFinishLaunching(platform::Application&) {
    // 1. Preferences, read once: a change takes effect at the next start.
    const platform::UserDefaults defaults = platform::UserDefaults::standard();
    const std::string skinSuffix = SkinResources::skinSuffix(defaults.integerForKey("skin"));
    canVibrate_ = defaults.boolForKey("canVibrate");
    canDate_ = defaults.boolForKey("canDate");
    isHighQuality_ = defaults.boolForKey("isHighQuality");

    // 2 to 4. The two lists, copied from the shipped defaults on a first launch.
    loadLists();

    // 5. Whatever the last run left, launch starts in camera mode and not saving.
    isEditMode_ = false;
    isSaving_ = false;

    // 6. The live camera goes in first, so that everything added later lies above it.
    if (window_ && viewController_) {
        window_->addSubview(viewController_->view());
        window_->makeKeyAndVisible();
    }

    // 7, 8.
    originalImage_ = nullptr;
    platform();

    // 9 to 11.
    buildMainScreen(skinSuffix);
    restoreStrips();
    watchStrips();
}

void MorvaneAppDelegate::platform() {
    platformString_ = platform::HardwareModel::current();
}

void MorvaneAppDelegate::loadLists() {
    // No other camera writes here (the run holds the folder's lock), so a temporary can only be
    // what an interrupted write left.
    const std::filesystem::path documents = PrintStore::documentsDirectory();
    platform::FileManager::removeTemporaries(documents);
    configXML_ = PrintStore::loadConfigList();
    std::size_t dropped = 0;
    printsXML_ = PrintStore::loadPrintList(&dropped);
    listFiles_.found(configXML_, printsXML_);
    // Entries that could reach outside the folder go from the file too, not only from memory.
    if (dropped > 0)
        listFiles_.printListFileDiffers();
    // Prints whose entries an abnormal end or a damaged list lost are shown again, quietly:
    // to the user they were never gone.
    ListRecovery::takeBackUnlisted(printsXML_, documents, PrintStore::kMaxPrints);
    saveLists();
}

void MorvaneAppDelegate::watchStrips() {
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    const auto cameToRest = [weak] {
        if (const auto self = weak.lock())
            self->stripCameToRest();
    };
    catScrollView_->setOnScrollEnded(cameToRest);
    miniFrameView_->setOnScrollEnded(cameToRest);
}

void MorvaneAppDelegate::restoreStrips() {
    const int category = PrintStore::restoredCategoryNumber(configXML_);
    const int frame = PrintStore::restoredFrameNumber(configXML_);
    catScrollView_->setContentOffset({(category - 1) * double(StripPages::kCategoryPageWidth), 0});
    miniFrameView_->setContentOffset({frame * double(StripPages::kFramePageWidth), 0});
}
