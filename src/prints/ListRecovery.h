#pragma once

#include "platform/foundation/PropertyList.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// What launch does about lists that an abnormal end or a damaged disk left behind: a list file
// that cannot be read is kept aside rather than overwritten, and prints whose files are in the
// Documents directory but whose entries never reached the print list are taken back into it.
class ListRecovery {
public:
    using List = std::vector<platform::PropertyList>;

    // Renames an unreadable list file to "<name>.damaged-YYYYMMDD-HHMMSS" (local time at
    // `now`, with "-2", "-3" ... where that name is taken) beside it; copies it there where it
    // cannot be renamed. The new path, or nullopt when the file could be neither moved nor
    // copied (it is then left as it is).
    static std::optional<std::filesystem::path> setAside(const std::filesystem::path& file,
                                                         std::chrono::system_clock::time_point now);

    // The number in a print name as the camera makes them ("1733671234.jpg"), else nullopt.
    static std::optional<long long> printNumber(std::string_view name);

    // Print pairs in `documents` (a print name and its full-size file) that no entry of
    // `prints` names, taken back newest first, each put where its number falls among the
    // entries, with the small file's time as its date. The list then holds at most
    // `capacity` prints: one pushed past the end goes with its files, as a print made now
    // evicts the oldest; a pair older than every print the list keeps is left untouched.
    // The number taken back.
    static std::size_t takeBackUnlisted(List& prints, const std::filesystem::path& documents,
                                        std::size_t capacity);
};
