#include "prints/PrintLists.h"

#include "prints/ListRecovery.h"
#include "prints/PrintStore.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/FileManager.h"

void PrintLists::load() {
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

void PrintLists::saveLists() {
    listFiles_.save(configXML_, printsXML_);
}

bool PrintLists::saveImageWithName(const platform::ImageRef& image, const std::string& name) {
    if (!PrintStore::isPlainFileName(name))
        return false;
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
    return true;
}

void PrintLists::saveImage2WithName(const platform::ImageRef& image, const std::string& name) {
    PrintStore::writePrintFile(image, name);
}

platform::ImageRef PrintLists::loadImage(const std::string& name) const {
    return PrintStore::loadPrintFile(name);
}

std::string PrintLists::uniquePrintName(long long seconds) const {
    return PrintStore::uniquePrintName(seconds, printsXML_);
}

int PrintLists::restoredCategoryNumber() const {
    return PrintStore::restoredCategoryNumber(configXML_);
}

int PrintLists::restoredFrameNumber() const {
    return PrintStore::restoredFrameNumber(configXML_);
}

void PrintLists::recordStripPages(int categoryNumber, int frameNumber) {
    configXML_ = PrintStore::configForTermination(configXML_, categoryNumber, frameNumber);
    saveLists();
}

bool PrintLists::removePrint(std::size_t index) {
    // A stale index: the list changed since the caller looked.
    if (index >= printsXML_.size())
        return false;
    const auto entry = printsXML_.begin() + static_cast<std::ptrdiff_t>(index);
    // printName is empty for an entry that is not a plain file name, and removePrintFiles
    // checks again, so no entry can reach outside the Documents directory.
    const std::string name = PrintStore::printName(*entry);
    if (!name.empty())
        PrintStore::removePrintFiles(name);
    printsXML_.erase(entry);
    saveLists();
    return true;
}

void PrintLists::removeAllPrints() {
    for (const platform::PropertyList& entry : printsXML_) {
        const std::string name = PrintStore::printName(entry);
        if (!name.empty())
            PrintStore::removePrintFiles(name);
    }
    printsXML_.clear();
    saveLists();
}
