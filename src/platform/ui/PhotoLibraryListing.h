#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// One photo file as the library picker lists it. Size and modification time are part of its
// identity: a file replaced under the same name is another photo.
struct PhotoEntry {
    std::filesystem::path path;
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds, file clock

    // A key that changes when the file does, for caches.
    std::string key() const;
    friend bool operator==(const PhotoEntry&, const PhotoEntry&) = default;
};

// The photos of the photo library: the JPEG and PNG files directly inside the given folders
// (recognised by their first bytes, whatever their names say; hidden files left out),
// newest first, equal times by path.
class PhotoLibraryListing {
public:
    static std::vector<PhotoEntry> list(const std::vector<std::filesystem::path>& folders);
    // True when the file starts as a JPEG or a PNG file does.
    static bool looksLikePicture(const std::filesystem::path& path);
};

} // namespace platform
