#include "platform/ui/PhotoLibraryListing.h"

#include "platform/graphics/Image.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

std::string folded(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

} // namespace

std::string PhotoEntry::key() const {
    return path.string() + '\n' + std::to_string(size) + '\n' + std::to_string(modified);
}

bool PhotoLibraryListing::looksLikePicture(const std::filesystem::path& path) {
    // Non-blocking, so a named pipe among the photos cannot stall the listing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    std::uint8_t head[32] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    return n > 0 && Image::hasPictureSignature(head, static_cast<std::size_t>(n));
}

std::vector<PhotoEntry> PhotoLibraryListing::list(const std::filesystem::path& folder) {
    std::vector<PhotoEntry> folders, photos;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        const std::filesystem::path& path = it->path();
        const std::string name = path.filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code statError;
        // Follows links, so a link to a photo or a folder counts as what it points at.
        if (it->is_directory(statError) && !statError) {
            folders.push_back({path, 0, 0, true});
            continue;
        }
        if (!it->is_regular_file(statError) || statError || !looksLikePicture(path))
            continue;
        PhotoEntry entry;
        entry.path = path;
        entry.size = it->file_size(statError);
        const auto time = it->last_write_time(statError);
        entry.modified =
            statError
                ? 0
                : std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch())
                      .count();
        photos.push_back(std::move(entry));
    }
    std::sort(folders.begin(), folders.end(), [](const PhotoEntry& a, const PhotoEntry& b) {
        const std::string x = folded(a.path), y = folded(b.path);
        return x != y ? x < y : a.path < b.path;
    });
    std::sort(photos.begin(), photos.end(), [](const PhotoEntry& a, const PhotoEntry& b) {
        if (a.modified != b.modified)
            return a.modified > b.modified;
        return a.path < b.path;
    });
    folders.insert(folders.end(), std::make_move_iterator(photos.begin()),
                   std::make_move_iterator(photos.end()));
    return folders;
}

} // namespace platform
