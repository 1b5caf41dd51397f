#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Where the camera's things live on disk. Every call looks the answer up afresh from the
// environment, so a test or the --home option (which sets MORVANE_HOME) moves them at once.
//
//                    with MORVANE_HOME=DIR       otherwise
//   documents        DIR/Documents               $XDG_DATA_HOME/morvane/Documents
//   preferences      DIR/preferences.plist       $XDG_CONFIG_HOME/morvane/preferences.plist
//   photo library    DIR/Pictures                the XDG pictures folder
//   photo album      DIR/Pictures/ALBUM          <photo library>/ALBUM
//
// XDG_DATA_HOME and XDG_CONFIG_HOME default to ~/.local/share and ~/.config, and are ignored
// unless absolute, as the XDG rules ask. The pictures folder is XDG_PICTURES_DIR from
// $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures.
class Directories {
public:
    // The three folders are created when missing; creation failures are left for the
    // file operations that follow to report.
    static std::filesystem::path documentsDirectory();
    static std::filesystem::path photoLibraryDirectory();
    // The album's folder is named by the program (see PhotoAlbum).
    static std::filesystem::path photoAlbumDirectory(const std::string& album);
    // Only the path: the camera reads preferences and never creates them.
    static std::filesystem::path preferencesFile();
    // The user's home folder: $HOME, else the password database; "/" when neither answers.
    static std::filesystem::path home();
};

} // namespace platform
