#include "prints/RecentViewController.h"

#include "prints/PrintStore.h"
#include "shell/MorvaneAppDelegate.h"

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
    const auto appDelegate = MorvaneAppDelegate::sharedDelegate();
    if (buttonIndex == 1 && appDelegate) {
        MorvaneAppDelegate::List& prints = appDelegate->printsXML();
        // printName is empty for an entry that is not a plain file name, and removePrintFiles
        // checks again, so no entry can reach outside the Documents directory.
        if (isAll_) {
            for (const platform::PropertyList& entry : prints) {
                const std::string name = PrintStore::printName(entry);
                if (!name.empty())
                    PrintStore::removePrintFiles(name);
            }
            prints.clear();
            appDelegate->saveLists();
            refreshImages();
        } else if (selectedTag_ < prints.size()) {
            // A tag past the end is stale: the list changed since the rows were built.
            const auto entry = prints.begin() + selectedTag_;
            const std::string name = PrintStore::printName(*entry);
            if (!name.empty())
                PrintStore::removePrintFiles(name);
            prints.erase(entry);
            appDelegate->saveLists();
            refreshImages();
        }
    }
    isSaving_ = false;
}
