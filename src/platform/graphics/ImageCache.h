#pragma once

#include "platform/graphics/Image.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

// Pictures decoded from files, kept for when the same file is read again unchanged (a film
// frame, for every print made with it): decoding a 1500 by 1500 PNG costs more than a whole
// look. Pictures are immutable, so one decoded picture can be handed to everyone who reads
// the file. A file counts as unchanged while its identity, size and modification and change
// times are; any write, replacement or touch reads it afresh. Least recently used pictures
// go first once there are more than kMostEntries or their pixels pass kMostBytes. Safe to
// use from any thread.
class ImageCache {
public:
    static constexpr std::size_t kMostEntries = 16;
    static constexpr std::size_t kMostBytes = 200u * 1024 * 1024;

    // What identifies one version of a file.
    struct FileStamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, changed = 0; // nanoseconds
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    // The stamp of the file at path now; nullopt when it is not a readable regular file.
    static std::optional<FileStamp> stampOf(const std::filesystem::path& path);

    // The picture decoded from path when it had this stamp, if kept.
    static ImageRef find(const std::filesystem::path& path, const FileStamp& stamp);
    // Keeps a picture decoded from path with this stamp (replacing an older version).
    static void keep(const std::filesystem::path& path, const FileStamp& stamp,
                     const ImageRef& image);

    static std::size_t entryCount();
    static std::size_t byteCount();
    static void removeAll();
};

} // namespace platform
