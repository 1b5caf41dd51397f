#include "platform/foundation/FolderLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

pid_t readHolder(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return value > 0 && end != text ? static_cast<pid_t>(value) : 0;
}

} // namespace

std::unique_ptr<FolderLock> FolderLock::acquire(const std::filesystem::path& folder,
                                                const std::string& fileName, Refusal& refusal) {
    refusal = {};
    const std::filesystem::path path = folder / fileName;
    std::error_code created;
    std::filesystem::create_directories(folder, created);
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        refusal.error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int reason = errno;
        if (reason == EWOULDBLOCK)
            refusal.holder = readHolder(fd);
        else
            refusal.error = "cannot lock " + path.string() + ": " + std::strerror(reason);
        ::close(fd);
        return nullptr;
    }
    // Only the holder writes, so the id read by one turned away is the holder's own. The lock
    // holds even where the id cannot be written; the one turned away then cannot name it.
    const std::string id = std::to_string(::getpid()) + "\n";
    [[maybe_unused]] const bool named =
        ::ftruncate(fd, 0) == 0 &&
        ::pwrite(fd, id.data(), id.size(), 0) == static_cast<ssize_t>(id.size());
    return std::unique_ptr<FolderLock>(new FolderLock(path, fd));
}

FolderLock::~FolderLock() {
    // Closing releases the lock. The file stays: removing it would let a third process lock a
    // new file of the same name while a second still waits on the old one.
    ::close(fd_);
}

} // namespace platform
