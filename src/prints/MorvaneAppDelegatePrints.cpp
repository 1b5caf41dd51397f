#include "shell/MorvaneAppDelegate.h"

#include "capture/StripPages.h"
#include "prints/PrintStore.h"

#include "platform/foundation/Date.h"

void MorvaneAppDelegate::applicationWillTerminate(platform::Application&) {
    // The pages where the strips stand now, and with them both lists where they changed.
    stripCameToRest();
}

void MorvaneAppDelegate::stripCameToRest() {
    // A run that never finished launching has no strips to record, and writing then would
    // replace the lists of the last good run with defaults.
    if (!catScrollView_ || !miniFrameView_)
        return;
    const int category = StripPages::categoryNumberForOffset(catScrollView_->contentOffset().x);
    const int frame = StripPages::frameNumberForOffset(miniFrameView_->contentOffset().x);
    configXML_ = PrintStore::configForTermination(configXML_, category, frame);
    saveLists();
}

void MorvaneAppDelegate::saveLists() {
    listFiles_.save(configXML_, printsXML_);
}

void MorvaneAppDelegate::saveImageWithName(const platform::ImageRef& image,
                                           const std::string& name) {
    // A name that is not one plain file name could not be stored or found again.
    if (!PrintStore::isPlainFileName(name))
        return;
    printsXML_.insert(printsXML_.begin(), PrintStore::makePrintEntry(name, platform::Date::now()));

    // The oldest print goes, files first, before the new file exists: were the evicted print
    // to share the new one's name, deleting afterwards would take the new file with it.
    if (printsXML_.size() > PrintStore::kMaxPrints) {
        const auto evicted = printsXML_.begin() + PrintStore::kMaxPrints;
        const std::string evictedName = PrintStore::printName(*evicted);
        if (!evictedName.empty())
            PrintStore::removePrintFiles(evictedName);
        printsXML_.erase(evicted);
    }

    PrintStore::writePrintFile(image, name);
    saveLists();
    // What is shown is what was stored, read back from the file.
    if (developedImage_)
        developedImage_->setImage(loadImage(name));
}

void MorvaneAppDelegate::saveImage2WithName(const platform::ImageRef& image,
                                            const std::string& name) {
    PrintStore::writePrintFile(image, name);
}

platform::ImageRef MorvaneAppDelegate::loadImage(const std::string& name) {
    return PrintStore::loadPrintFile(name);
}

std::string MorvaneAppDelegate::uniquePrintName(long long seconds) const {
    return PrintStore::uniquePrintName(seconds, printsXML_);
}
