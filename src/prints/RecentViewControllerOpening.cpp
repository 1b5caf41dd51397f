#include "prints/RecentViewController.h"

#include "prints/PrintStore.h"

#include "platform/foundation/DesktopOpener.h"
#include "platform/foundation/Directories.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/PhotoAlbum.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <iostream>

namespace {

std::string albumName() {
    return platform::Application::exists() ? platform::Application::shared().name() : std::string();
}

} // namespace

std::filesystem::path RecentViewController::fullSizePicture(const std::string& printName) {
    if (!PrintStore::isPlainFileName(printName))
        return {};
    const std::filesystem::path big = PrintStore::documentsDirectory() / ("big_" + printName);
    std::error_code error;
    if (!std::filesystem::is_regular_file(big, error))
        return {};
    // A print is named by the second it was made in, which is when its album copy is saved.
    long long seconds = 0;
    const char* end = printName.data() + printName.size();
    if (std::from_chars(printName.data(), end, seconds).ec == std::errc()) {
        const auto copy =
            platform::PhotoAlbum::findCopy(albumName(), big, static_cast<std::time_t>(seconds));
        if (!copy.empty())
            return copy;
    }
    return big;
}

bool RecentViewController::openPrint(std::size_t row) {
    if (!printLists_ || row >= printLists_->printsXML().size())
        return false;
    const std::string name = PrintStore::printName(printLists_->printsXML()[row]);
    const std::filesystem::path picture = fullSizePicture(name);
    if (picture.empty()) {
        std::make_shared<platform::AlertView>(
            "Cannot Open the Print", "Its full-size file is no longer there.",
            std::weak_ptr<platform::AlertViewDelegate>(), "OK", "")
            ->show();
        return false;
    }
    return open(picture, "Cannot Open the Print");
}

bool RecentViewController::openPrintAt(platform::Point contentPoint) {
    if (contentPoint.y < 0)
        return false;
    return openPrint(static_cast<std::size_t>(contentPoint.y / kRowHeight));
}

bool RecentViewController::openPrintInView() {
    if (!scrollArea_)
        return false;
    const double row = std::round(scrollArea_->contentOffset().y / kRowHeight);
    return openPrint(static_cast<std::size_t>(std::max(0.0, row)));
}

bool RecentViewController::openAlbumFolder() {
    const std::string album = albumName();
    if (album.empty())
        return false;
    const auto folder = platform::Directories::photoAlbumDirectory(album);
    std::error_code error;
    // Made if need be: an empty album is still where the prints will go.
    std::filesystem::create_directories(folder, error);
    return open(folder, "Cannot Open the Album");
}

bool RecentViewController::open(const std::filesystem::path& target, const std::string& title) {
    std::string error;
    if (opener_ ? opener_(target, error) : platform::DesktopOpener::open(target, error))
        return true;
    std::cerr << "morvane: cannot open " << target.string() << ": " << error << "\n";
    std::make_shared<platform::AlertView>(title, error,
                                          std::weak_ptr<platform::AlertViewDelegate>(), "OK", "")
        ->show();
    return false;
}
