#include "prints/RecentViewController.h"

#include "prints/PrintStore.h"

#include <algorithm>
#include <cmath>

bool RecentViewController::printInViewOnPaper() {
    if (!paperPrinter_ || !scrollArea_ || !printLists_ || printLists_->printsXML().empty())
        return false;
    if (!paperPrinter_->isSet()) {
        paperPrinter_->say("No printer: morvane defaults write printer NAME");
        return true;
    }
    const double nearest = std::round(scrollArea_->contentOffset().y / kRowHeight);
    const auto row = std::min(static_cast<std::size_t>(std::max(0.0, nearest)),
                              printLists_->printsXML().size() - 1);
    const std::string name = PrintStore::printName(printLists_->printsXML()[row]);
    // The gallery's own full-size file: the album's copy is the same picture, and may be gone.
    const platform::ImageRef print =
        PrintStore::isPlainFileName(name)
            ? platform::Image::contentsOfFile(PrintStore::documentsDirectory() / ("big_" + name))
            : nullptr;
    if (!print) {
        paperPrinter_->say("Not printed: the full-size print is gone");
        return true;
    }
    paperPrinter_->print(print);
    return true;
}
