#include "platform/foundation/Directories.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::filesystem::path> morvaneHome() {
    const auto value = environment("MORVANE_HOME");
    if (!value) {
        return std::nullopt;
    }
    std::error_code error;
    const auto absolute = std::filesystem::absolute(*value, error);
    return error ? std::filesystem::path(*value) : absolute;
}

// An XDG base folder: the variable when it holds an absolute path, else the default below home.
std::filesystem::path xdgBase(const char* variable, const char* fallbackBelowHome) {
    if (const auto value = environment(variable)) {
        const std::filesystem::path path(*value);
        if (path.is_absolute()) {
            return path;
        }
    }
    return Directories::home() / fallbackBelowHome;
}

// XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path, one assignment per line, as the
// user-dirs tool writes the file; any other value is ignored.
std::optional<std::filesystem::path> picturesFromUserDirs() {
    std::ifstream file(xdgBase("XDG_CONFIG_HOME", ".config") / "user-dirs.dirs");
    std::string line;
    std::optional<std::filesystem::path> found;
    while (std::getline(file, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 17, "XDG_PICTURES_DIR=") != 0) {
            continue;
        }
        std::string value = line.substr(start + 17);
        while (!value.empty() &&
               (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
            value.pop_back();
        }
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
            continue;
        }
        std::string unquoted;
        for (std::size_t i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == '\\' && i + 2 < value.size()) {
                ++i;
            }
            unquoted += value[i];
        }
        if (unquoted == "$HOME" || unquoted.starts_with("$HOME/")) {
            found = Directories::home() / std::filesystem::path(unquoted.substr(5)).relative_path();
        } else if (unquoted.starts_with("/")) {
            found = std::filesystem::path(unquoted);
        }
    }
    return found;
}

std::filesystem::path created(std::filesystem::path folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

} // namespace

std::filesystem::path Directories::home() {
    if (const auto value = environment("HOME")) {
        return *value;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr && *result->pw_dir != '\0') {
        return result->pw_dir;
    }
    return "/";
}

std::filesystem::path Directories::documentsDirectory() {
    if (const auto root = morvaneHome()) {
        return created(*root / "Documents");
    }
    return created(xdgBase("XDG_DATA_HOME", ".local/share") / "morvane" / "Documents");
}

std::filesystem::path Directories::preferencesFile() {
    if (const auto root = morvaneHome()) {
        return *root / "preferences.plist";
    }
    return xdgBase("XDG_CONFIG_HOME", ".config") / "morvane" / "preferences.plist";
}

std::filesystem::path Directories::photoLibraryDirectory() {
    if (const auto root = morvaneHome()) {
        return created(*root / "Pictures");
    }
    return created(picturesFromUserDirs().value_or(home() / "Pictures"));
}

std::filesystem::path Directories::photoAlbumDirectory(const std::string& album) {
    return created(photoLibraryDirectory() / album);
}

} // namespace platform
