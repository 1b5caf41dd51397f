#pragma once

#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The user's preferences: one dictionary in a property-list file. A missing or malformed
// file, or one whose top level is not a dictionary, reads as no preferences at all.
class UserDefaults {
public:
    // Loaded now from Directories::preferencesFile().
    static UserDefaults standard();
    explicit UserDefaults(std::filesystem::path file);

    // A number (a real truncated), a boolean as 0 or 1, or text starting with a decimal
    // integer such as "3"; 0 for anything else or an absent key.
    long long integerForKey(const std::string& key) const;
    // A boolean; a number other than 0; text that is a nonzero integer or YES/true/Y/T in any
    // case. Everything else, an absent key included, is false.
    bool boolForKey(const std::string& key) const;
    std::optional<PropertyList> objectForKey(const std::string& key) const;

    // Changes in memory, kept only by synchronize().
    void setObjectForKey(PropertyList value, const std::string& key);
    void removeObjectForKey(const std::string& key);
    // Writes the dictionary to the file it came from, atomically, creating its folder.
    bool synchronize() const;

    const PropertyList::Dictionary& dictionaryRepresentation() const { return values_; }
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    PropertyList::Dictionary values_;
};

} // namespace platform
