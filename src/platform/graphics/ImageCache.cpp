#include "platform/graphics/ImageCache.h"

#include <sys/stat.h>

#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {

namespace {

struct Entry {
    std::string key;
    ImageCache::FileStamp stamp;
    ImageRef image;
    std::size_t bytes = 0;
};

class Cache {
public:
    ImageRef find(const std::string& key, const ImageCache::FileStamp& stamp) {
        std::lock_guard lock(mutex_);
        const auto found = index_.find(key);
        if (found == index_.end())
            return nullptr;
        if (!(found->second->stamp == stamp)) {
            // That version of the file is gone for good.
            drop(found->second);
            return nullptr;
        }
        entries_.splice(entries_.begin(), entries_, found->second);
        return found->second->image;
    }

    void keep(const std::string& key, const ImageCache::FileStamp& stamp, const ImageRef& image) {
        const std::size_t bytes =
            std::size_t(image->pixelWidth()) * std::size_t(image->pixelHeight()) * 4;
        if (bytes > ImageCache::kMostBytes)
            return;
        std::lock_guard lock(mutex_);
        if (const auto found = index_.find(key); found != index_.end())
            drop(found->second);
        entries_.push_front({key, stamp, image, bytes});
        index_[key] = entries_.begin();
        bytes_ += bytes;
        while (entries_.size() > ImageCache::kMostEntries || bytes_ > ImageCache::kMostBytes)
            drop(std::prev(entries_.end()));
    }

    std::size_t entryCount() {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }
    std::size_t byteCount() {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    void removeAll() {
        std::lock_guard lock(mutex_);
        index_.clear();
        entries_.clear();
        bytes_ = 0;
    }

private:
    void drop(std::list<Entry>::iterator entry) {
        bytes_ -= entry->bytes;
        index_.erase(entry->key);
        entries_.erase(entry);
    }

    std::mutex mutex_;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
    std::size_t bytes_ = 0;
};

// Never destroyed, so that pictures read while the process exits still find it.
Cache& cache() {
    static Cache* const instance = new Cache;
    return *instance;
}

// One spelling per file name as given, so that "a/../b.png" and "b.png" meet.
std::string keyFor(const std::filesystem::path& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return (error ? path : absolute).lexically_normal().string();
}

} // namespace

std::optional<ImageCache::FileStamp> ImageCache::stampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    FileStamp stamp;
    stamp.device = std::uint64_t(info.st_dev);
    stamp.inode = std::uint64_t(info.st_ino);
    stamp.size = std::uint64_t(info.st_size);
    stamp.modified = std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    stamp.changed = std::int64_t(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    return stamp;
}

ImageRef ImageCache::find(const std::filesystem::path& path, const FileStamp& stamp) {
    return cache().find(keyFor(path), stamp);
}

void ImageCache::keep(const std::filesystem::path& path, const FileStamp& stamp,
                      const ImageRef& image) {
    if (image)
        cache().keep(keyFor(path), stamp, image);
}

std::size_t ImageCache::entryCount() {
    return cache().entryCount();
}

std::size_t ImageCache::byteCount() {
    return cache().byteCount();
}

void ImageCache::removeAll() {
    cache().removeAll();
}

} // namespace platform
