#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// One photo file, or one folder, as the library picker lists it. Size and modification time
// are part of a photo's identity: a file replaced under the same name is another photo.
struct PhotoEntry {
    std::filesystem::path path;
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds, file clock
    bool isFolder = false;

    // A key that changes when the file does, for caches.
    std::string key() const;
    friend bool operator==(const PhotoEntry&, const PhotoEntry&) = default;
};

// What one folder of the photo library holds: its subfolders first, by name as a person
// reads it (case set aside), then its photos, newest first, equal times by path. Photos are
// the JPEG, PNG, HEIC/HEIF and WebP files, recognised by their first bytes whatever their
// names say; hidden files and folders are left out.
class PhotoLibraryListing {
public:
    static std::vector<PhotoEntry> list(const std::filesystem::path& folder);
    // True when the file starts as a picture file that can be read does.
    static bool looksLikePicture(const std::filesystem::path& path);
};

} // namespace platform
