#include "prints/PrintStore.h"

#include "prints/ListRecovery.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <limits>
#include <optional>

using platform::PropertyList;

namespace {

// Used only when the shipped configuration list itself is missing or broken, so that
// termination still writes a list the next launch can read.
PrintStore::List builtInConfigList() {
    PrintStore::List list(PrintStore::kConfigMinSize, PropertyList::string("0"));
    list[PrintStore::kCategoryElement] = PropertyList::string("1");
    list[PrintStore::kFrameElement] = PropertyList::string("0");
    return list;
}

PrintStore::List arrayElements(const std::optional<PropertyList>& list) {
    if (!list || !list->isArray())
        return {};
    return list->array();
}

std::optional<int> numberInRange(const PrintStore::List& list, std::size_t element, int lowest,
                                 int highest) {
    if (element >= list.size())
        return std::nullopt;
    const std::optional<long long> value = list[element].integerValue();
    if (!value || *value < lowest || *value > highest)
        return std::nullopt;
    return static_cast<int>(*value);
}

// A write that fails changes nothing on disk, and the camera goes on as if it had worked; the
// one trace is this line on standard error, so that a full disk or a folder in the way is
// found. errno is cleared before each write, so it is the failing call's reason or none.
void reportUnwritten(const std::filesystem::path& path, const char* consequence) {
    const int reason = errno;
    std::cerr << "morvane: cannot write " << path.string();
    if (reason != 0)
        std::cerr << ": " << std::strerror(reason);
    std::cerr << consequence << "\n";
}

} // namespace

std::filesystem::path PrintStore::documentsDirectory() {
    return platform::Directories::documentsDirectory();
}

bool PrintStore::isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

void PrintStore::copyDefaultIfMissing(const std::string& fileName,
                                      const std::string& resourceName) {
    const std::filesystem::path target = documentsDirectory() / fileName;
    if (platform::FileManager::fileExists(target))
        return;
    const auto resource = platform::Bundle::main().pathForResource(resourceName, "plist");
    if (!resource)
        return;
    // The copy is the shipped bytes, not a re-serialisation: a first launch leaves files
    // identical to the resources.
    if (const auto bytes = platform::FileManager::contents(*resource)) {
        errno = 0;
        if (!platform::FileManager::writeAtomically(target, *bytes))
            reportUnwritten(target, "");
    }
}

std::optional<PropertyList> PrintStore::loadList(const char* fileName, const char* resourceName,
                                                 const char* consequence) {
    const std::filesystem::path path = documentsDirectory() / fileName;
    copyDefaultIfMissing(fileName, resourceName);
    std::optional<PropertyList> list = PropertyList::readFile(path);
    if ((list && list->isArray()) || !platform::FileManager::fileExists(path))
        return list;
    // Writing over a damaged list would throw away what could still be read from it by hand.
    const auto kept = ListRecovery::setAside(path, std::chrono::system_clock::now());
    if (!kept) {
        std::cerr << "morvane: " << path.string() << " cannot be read, nor kept aside; "
                  << "it is left as it is\n";
        return std::nullopt;
    }
    std::cerr << "morvane: " << path.string() << " cannot be read; it is kept as "
              << kept->filename().string() << consequence << "\n";
    copyDefaultIfMissing(fileName, resourceName);
    return PropertyList::readFile(path);
}

PrintStore::List PrintStore::loadConfigList() {
    return arrayElements(
        loadList(kConfigFileName, "config", " and the film strips start on their first pages"));
}

PrintStore::List PrintStore::peekConfigList() {
    const auto stored = PropertyList::readFile(documentsDirectory() / kConfigFileName);
    return stored ? arrayElements(stored) : shippedConfigList();
}

PrintStore::List PrintStore::loadPrintList(std::size_t* dropped) {
    List entries = arrayElements(
        loadList(kPrintsFileName, "prints", " and the list is made again from the print files"));
    const std::size_t left =
        std::erase_if(entries, [](const PropertyList& entry) { return !isPrintEntry(entry); });
    if (dropped)
        *dropped = left;
    return entries;
}

bool PrintStore::isPrintEntry(const PropertyList& entry) {
    if (!entry.isArray() || entry.size() == 0)
        return false;
    const PropertyList& name = entry[0];
    return name.isString() && isPlainFileName(name.stringValue());
}

std::string PrintStore::printName(const PropertyList& entry) {
    return isPrintEntry(entry) ? entry[0].stringValue() : std::string();
}

PropertyList PrintStore::makePrintEntry(const std::string& name,
                                        std::chrono::system_clock::time_point date) {
    return PropertyList::array({PropertyList::string(name), PropertyList::date(date)});
}

PrintStore::List PrintStore::shippedConfigList() {
    const auto resource = platform::Bundle::main().pathForResource("config", "plist");
    if (resource) {
        List list = arrayElements(PropertyList::readFile(*resource));
        if (list.size() >= kConfigMinSize)
            return list;
    }
    return builtInConfigList();
}

std::optional<int> PrintStore::validNumber(const List& list, std::size_t element, int lowest,
                                           int highest) {
    if (auto number = numberInRange(list, element, lowest, highest))
        return number;
    if (auto number = numberInRange(shippedConfigList(), element, lowest, highest))
        return number;
    return std::nullopt;
}

int PrintStore::restoredCategoryNumber(const List& config) {
    return validNumber(config, kCategoryElement, 1, 10).value_or(1);
}

int PrintStore::restoredFrameNumber(const List& config) {
    return validNumber(config, kFrameElement, 0, 2).value_or(0);
}

PrintStore::List PrintStore::configForTermination(const List& config, int categoryNumber,
                                                  int frameNumber) {
    List list = config.size() >= kConfigMinSize ? config : shippedConfigList();
    list[kCategoryElement] = PropertyList::string(std::to_string(categoryNumber));
    list[kFrameElement] = PropertyList::string(std::to_string(frameNumber));
    return list;
}

bool PrintStore::writeList(const List& list, const char* fileName) {
    const std::filesystem::path path = documentsDirectory() / fileName;
    errno = 0;
    if (PropertyList::array(list).writeFile(path))
        return true;
    reportUnwritten(path, " (the file there is left as it was)");
    return false;
}

bool PrintStore::writePrintFile(const platform::ImageRef& image, const std::string& name) {
    if (!image || !isPlainFileName(name))
        return false;
    const std::vector<std::uint8_t> jpeg = image->jpegData(1.0);
    if (jpeg.empty())
        return false;
    const std::filesystem::path path = documentsDirectory() / name;
    errno = 0;
    if (platform::FileManager::createFileExclusively(path, jpeg))
        return true;
    reportUnwritten(path, "");
    return false;
}

platform::ImageRef PrintStore::loadPrintFile(const std::string& name) {
    if (!isPlainFileName(name))
        return nullptr;
    return platform::Image::contentsOfFile(documentsDirectory() / name);
}

void PrintStore::removePrintFiles(const std::string& name) {
    if (!isPlainFileName(name))
        return;
    const std::filesystem::path documents = documentsDirectory();
    platform::FileManager::removeItem(documents / name);
    platform::FileManager::removeItem(documents / (kFullSizePrefix + name));
}

std::string PrintStore::uniquePrintName(long long seconds, const List& prints) {
    const std::filesystem::path documents = documentsDirectory();
    const auto taken = [&](const std::string& name) {
        if (platform::FileManager::fileExists(documents / name) ||
            platform::FileManager::fileExists(documents / (kFullSizePrefix + name)))
            return true;
        return std::any_of(prints.begin(), prints.end(), [&](const PropertyList& entry) {
            return entry.isArray() && entry.size() > 0 && entry[0].isString() &&
                   entry[0].stringValue() == name;
        });
    };
    std::string name = std::to_string(seconds) + ".jpg";
    // A folder could only hold as many taken names as it holds files; the bound just keeps a
    // pathological folder from spinning.
    for (int attempt = 0; attempt < 100000 && taken(name); ++attempt) {
        if (seconds == std::numeric_limits<long long>::max())
            break;
        name = std::to_string(++seconds) + ".jpg";
    }
    return name;
}
