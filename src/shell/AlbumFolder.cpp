#include "shell/AlbumFolder.h"

#include "shell/MainInterface.h"

#include "platform/foundation/Directories.h"

#include <cstdlib>

std::string AlbumFolder::shown() {
    const std::filesystem::path album =
        platform::Directories::photoAlbumDirectory(MainInterface::kApplicationName);
    const char* home = std::getenv("HOME");
    if (home && *home) {
        const auto relative = album.lexically_relative(home);
        if (!relative.empty() && *relative.begin() != "..")
            return (std::filesystem::path("~") / relative).string();
    }
    return album.string();
}
