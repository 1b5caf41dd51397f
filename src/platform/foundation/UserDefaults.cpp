#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Directories.h"

#include <cctype>

namespace platform {

UserDefaults UserDefaults::standard() {
    return UserDefaults(Directories::preferencesFile());
}

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)) {
    if (auto loaded = PropertyList::readFile(file_); loaded && loaded->isDictionary()) {
        values_ = std::move(loaded->dictionary());
    }
}

long long UserDefaults::integerForKey(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return 0;
    }
    return found->second.integerValue().value_or(0);
}

bool UserDefaults::boolForKey(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return false;
    }
    const PropertyList& value = found->second;
    switch (value.kind()) {
    case PropertyList::Kind::Boolean:
        return value.boolValue();
    case PropertyList::Kind::Integer:
        return *value.integerValue() != 0;
    case PropertyList::Kind::Real:
        return value.realValue() != 0;
    case PropertyList::Kind::String: {
        if (const auto number = value.integerValue()) {
            return *number != 0;
        }
        const std::string& text = value.stringValue();
        const auto first = text.find_first_not_of(" \t\n\r");
        const auto last = text.find_last_not_of(" \t\n\r");
        std::string word;
        for (auto i = first; first != std::string::npos && i <= last; ++i) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        }
        return word == "yes" || word == "true" || word == "y" || word == "t";
    }
    default:
        return false;
    }
}

std::optional<PropertyList> UserDefaults::objectForKey(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void UserDefaults::setObjectForKey(PropertyList value, const std::string& key) {
    values_.insert_or_assign(key, std::move(value));
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    values_.erase(key);
}

bool UserDefaults::synchronize() const {
    std::error_code error;
    if (file_.has_parent_path()) {
        std::filesystem::create_directories(file_.parent_path(), error);
    }
    return PropertyList::dictionary(values_).writeFile(file_);
}

} // namespace platform
