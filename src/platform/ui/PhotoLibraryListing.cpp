#include "platform/ui/PhotoLibraryListing.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <unistd.h>

namespace platform {

std::string PhotoEntry::key() const {
    return path.string() + '\n' + std::to_string(size) + '\n' + std::to_string(modified);
}

bool PhotoLibraryListing::looksLikePicture(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    unsigned char head[8] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    static constexpr unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
        return true;
    return n == 8 && std::memcmp(head, kPng, 8) == 0;
}

std::vector<PhotoEntry>
PhotoLibraryListing::list(const std::vector<std::filesystem::path>& folders) {
    std::vector<PhotoEntry> photos;
    std::set<std::filesystem::path> seen;
    for (const auto& folder : folders) {
        std::error_code error;
        std::filesystem::directory_iterator it(folder, error), end;
        for (; !error && it != end; it.increment(error)) {
            const std::filesystem::path& path = it->path();
            const std::string name = path.filename().string();
            if (name.empty() || name[0] == '.')
                continue;
            std::error_code statError;
            // Follows links, so a link to a photo counts as the photo.
            if (!it->is_regular_file(statError) || statError)
                continue;
            const std::filesystem::path canonical =
                std::filesystem::weakly_canonical(path, statError);
            if (!seen.insert(statError ? path : canonical).second)
                continue;
            if (!looksLikePicture(path))
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
    }
    std::sort(photos.begin(), photos.end(), [](const PhotoEntry& a, const PhotoEntry& b) {
        if (a.modified != b.modified)
            return a.modified > b.modified;
        return a.path < b.path;
    });
    return photos;
}

} // namespace platform
