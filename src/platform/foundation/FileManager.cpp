#include "platform/foundation/FileManager.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Closes a descriptor on every path out of a function.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    bool close() {
        if (fd_ < 0) {
            return true;
        }
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Marks a temporary's name, between its target's name and the numbers that make it unique.
constexpr std::string_view kTemporaryMark = ".tmp-";

// A name no other writer in this or another process picks at the same moment; O_EXCL makes
// any collision fail instead of sharing a file.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "." + target.filename().string() + std::string(kTemporaryMark) +
                       std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
                       "-" + std::to_string(static_cast<unsigned long long>(ticks) % 1000000007u);
    return target.parent_path() / name;
}

// How a finished temporary takes the target's name.
enum class Placement {
    Replace,
    // Only where nothing has the name yet: link() fails with EEXIST where a file is, as an
    // O_EXCL open would, while the name still appears with all its bytes at once.
    Exclusive,
};

// Writes through a temporary: `fill` writes the contents into the open descriptor. The
// temporary is flushed before the rename so that the name never points at unwritten blocks,
// and the folder afterwards so that the rename itself survives a power cut.
bool replaceThroughTemporary(const std::filesystem::path& target,
                             const std::function<bool(int)>& fill,
                             Placement placement = Placement::Replace) {
    if (target.empty() || target.filename().empty()) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) {
        return false;
    }
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = temporaryBeside(target);
        fd = openRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    Descriptor file(fd);
    if (!file.valid()) {
        return false;
    }
    const bool written = fill(file.get()) && ::fsync(file.get()) == 0 && file.close();
    const bool placed = written && (placement == Placement::Replace
                                        ? ::rename(temporary.c_str(), target.c_str()) == 0
                                        : ::link(temporary.c_str(), target.c_str()) == 0);
    if (!placed || placement == Placement::Exclusive) {
        // The reason the caller reports is the failed call's, not the clean-up's.
        const int reason = errno;
        file.close();
        ::unlink(temporary.c_str());
        errno = reason;
        if (!placed) {
            return false;
        }
    }
    const auto folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    Descriptor directory(openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY));
    if (directory.valid()) {
        ::fsync(directory.get());
    }
    return true;
}

} // namespace

bool FileManager::fileExists(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

bool FileManager::removeItem(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::remove(path, error) && !error;
}

bool FileManager::createFile(const std::filesystem::path& path,
                             const std::vector<std::uint8_t>& bytes) {
    return writeAtomically(path, bytes);
}

bool FileManager::createFileExclusively(const std::filesystem::path& path,
                                        const std::vector<std::uint8_t>& bytes) {
    return replaceThroughTemporary(
        path, [&](int fd) { return writeAll(fd, bytes.data(), bytes.size()); },
        Placement::Exclusive);
}

bool FileManager::isTemporaryName(std::string_view name) {
    // "." + target + ".tmp-" + pid "-" counter "-" ticks, as temporaryBeside makes them.
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name[0] != '.' || mark == std::string_view::npos || mark < 2) {
        return false;
    }
    const std::string_view tail = name.substr(mark + kTemporaryMark.size());
    int dashes = 0;
    for (const char c : tail) {
        if (c == '-') {
            ++dashes;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return dashes == 2 && tail.front() != '-' && tail.back() != '-';
}

int FileManager::removeTemporaries(const std::filesystem::path& folder) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_regular_file(error) && isTemporaryName(entry->path().filename().string()) &&
            ::unlink(entry->path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

bool FileManager::writeAtomically(const std::filesystem::path& path,
                                  const std::vector<std::uint8_t>& bytes) {
    return writeAtomically(path, bytes.data(), bytes.size());
}

bool FileManager::writeAtomically(const std::filesystem::path& path, const void* bytes,
                                  std::size_t size) {
    if (bytes == nullptr && size > 0) {
        return false;
    }
    return replaceThroughTemporary(
        path, [&](int fd) { return writeAll(fd, static_cast<const std::uint8_t*>(bytes), size); });
}

std::optional<std::vector<std::uint8_t>> FileManager::contents(const std::filesystem::path& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    Descriptor file(openRetrying(path.c_str(), O_RDONLY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    try {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return std::nullopt;
            }
            if (got == 0) {
                return bytes;
            }
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool FileManager::copyItem(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (from.empty()) {
        return false;
    }
    Descriptor source(openRetrying(from.c_str(), O_RDONLY));
    struct stat info {};
    if (!source.valid() || ::fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    // Streamed, so that copying a large picture needs no buffer of its size.
    return replaceThroughTemporary(to, [&](int fd) {
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t got = ::read(source.get(), chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return got == 0;
            }
            if (!writeAll(fd, chunk, static_cast<std::size_t>(got))) {
                return false;
            }
        }
    });
}

} // namespace platform
