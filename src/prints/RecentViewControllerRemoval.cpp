#include "prints/RecentViewController.h"

#include "platform/ui/AlertView.h"

void RecentViewController::removePrints(const std::shared_ptr<platform::View>& sender) {
    // A request without a button names no print.
    if (isSaving_ || !sender)
        return;
    selectedTag_ = static_cast<std::uint32_t>(sender->tag());
    isAll_ = false;
    isSaving_ = true;
    showConfirmation(kRemoveOneTitle, kRemoveOneMessage);
}

void RecentViewController::removeAllPrints(const std::shared_ptr<platform::View>&) {
    if (isSaving_)
        return;
    // Asked even for an empty list: the answer then has nothing to remove.
    isAll_ = true;
    isSaving_ = true;
    showConfirmation(kRemoveAllTitle, kRemoveAllMessage);
}

void RecentViewController::showConfirmation(const char* title, const char* message) {
    auto delegate = std::weak_ptr<platform::AlertViewDelegate>(
        std::static_pointer_cast<RecentViewController>(shared_from_this()));
    // The alert keeps itself on screen until it is answered.
    std::make_shared<platform::AlertView>(title, message, delegate, "Cancel", "OK")->show();
}

void RecentViewController::alertViewClickedButtonAtIndex(platform::AlertView&, int buttonIndex) {
    if (buttonIndex == 1 && printLists_) {
        if (isAll_) {
            printLists_->removeAllPrints();
            refreshImages();
        } else if (printLists_->removePrint(selectedTag_)) {
            refreshImages();
        }
    }
    isSaving_ = false;
}
