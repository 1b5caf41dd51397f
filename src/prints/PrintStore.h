#pragma once

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The camera's files in the Documents directory: the configuration list, the print list and
// the two JPEG files of each print. Every function looks the Documents directory up afresh,
// so a run never holds on to a folder that has been moved or recreated under it.
//
// The lists come from disk written by earlier runs (or by hand), so nothing read here is
// trusted: a list of the wrong shape reads as something sound, and a print name reaches the
// file system only when it is one plain file name inside the Documents directory.
class PrintStore {
public:
    using List = std::vector<platform::PropertyList>;

    static constexpr const char* kConfigFileName = "config.plist";
    static constexpr const char* kPrintsFileName = "prints.plist";
    // The file in the Documents directory whose lock a running camera holds.
    static constexpr const char* kLockFileName = ".morvane.lock";
    // The full-size file of a print is this prefix and the print's name.
    static constexpr const char* kFullSizePrefix = "big_";
    // Newest prints kept; inserting one more evicts the entry at this index.
    static constexpr std::size_t kMaxPrints = 20;
    // Elements of the configuration list the camera interprets; it needs at least kConfigMinSize.
    static constexpr std::size_t kCategoryElement = 2;
    static constexpr std::size_t kFrameElement = 8;
    static constexpr std::size_t kConfigMinSize = 9;

    static std::filesystem::path documentsDirectory();

    // A name that is safe to join to the Documents directory: not empty, no '/', no NUL,
    // not "." or "..".
    static bool isPlainFileName(std::string_view name);

    // Copies the shipped default of that resource name byte for byte when fileName is missing
    // from the Documents directory; an existing file is never replaced.
    static void copyDefaultIfMissing(const std::string& fileName, const std::string& resourceName);

    // The configuration list as stored. Loading copies the shipped default first when the file
    // is missing; a file that cannot be read as an array is set aside (said on standard
    // error) and the shipped default takes its place.
    static List loadConfigList();
    // The configuration list as the next load will find it, with nothing copied or written:
    // the stored one, else the shipped default.
    static List peekConfigList();
    // The print list: the entries that name a print, in stored order. A missing file gives
    // the shipped default; a file that cannot be read as an array is set aside as the
    // configuration list's is, and the list starts empty for launch to rebuild.
    // `dropped`, when given, is the number of elements left out for naming no print.
    static List loadPrintList(std::size_t* dropped = nullptr);
    // True for an entry that can name a print: an array whose first element is a plain file
    // name. What follows it is kept as it is and never read: the date is only ever written.
    static bool isPrintEntry(const platform::PropertyList& entry);
    // The print name of an entry, or empty when it is not a well-formed entry.
    static std::string printName(const platform::PropertyList& entry);
    static platform::PropertyList makePrintEntry(const std::string& name,
                                                 std::chrono::system_clock::time_point date);

    // The shipped configuration list, or a plain nine-element one if the resource is missing
    // or malformed.
    static List shippedConfigList();

    // The category (1 to 10) and frame (0 to 2) numbers that launch puts the strips on. An
    // element that is missing or not an in-range integer takes the shipped default's value.
    static int restoredCategoryNumber(const List& config);
    static int restoredFrameNumber(const List& config);

    // The list written at termination: config with the two pages written as decimal text when
    // it has all nine elements, else the shipped default with them.
    static List configForTermination(const List& config, int categoryNumber, int frameNumber);
    // Writes a list as an XML property list under that file name, atomically; false (said on
    // standard error) when it could not be written.
    static bool writeList(const List& list, const char* fileName);

    // JPEG at quality 1.0 under name in the Documents directory, only where no file has that
    // name: a print is never written over another, even by a second process. Nothing is
    // written for a null picture or a name that is not a plain file name.
    static bool writePrintFile(const platform::ImageRef& image, const std::string& name);
    // The picture in that file of the Documents directory, or nullptr when the name is not
    // plain or the file is missing or unreadable.
    static platform::ImageRef loadPrintFile(const std::string& name);
    // Deletes a print's small file, then its full-size file. Missing files are passed over.
    static void removePrintFiles(const std::string& name);

    // A print name "<n>.jpg" for the given whole seconds since 1970 that no file in the
    // Documents directory and no entry of prints already uses: when the name is taken the
    // next number up is tried, so two prints within one second keep both their files.
    static std::string uniquePrintName(long long seconds, const List& prints);

private:
    // The list in that file, setting an unreadable file aside first; the shipped default
    // stands in for a missing file.
    static std::optional<platform::PropertyList>
    loadList(const char* fileName, const char* resourceName, const char* consequence);
    // The element's integer when it is one in range, else the shipped default's, else none.
    static std::optional<int> validNumber(const List& list, std::size_t element, int lowest,
                                          int highest);
};
