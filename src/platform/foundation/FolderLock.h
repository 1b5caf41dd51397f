#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>

namespace platform {

// One process at a time in a folder: an advisory lock on a file kept in it. The system drops
// the lock when its holder ends, however it ends, so a killed process never leaves it held.
// The holder writes its process id into the file, so that the one turned away can say who
// has it.
class FolderLock {
public:
    struct Refusal {
        // The holder's process id, 0 when the lock could not be tried or the id not read.
        pid_t holder = 0;
        // Empty when another process holds the lock; else why it could not be tried.
        std::string error;
    };

    // The lock on `folder / fileName`, creating the folder and the file where they are
    // missing; nullptr, with `refusal` filled in, when it is not to be had. A refused
    // attempt changes nothing on disk.
    static std::unique_ptr<FolderLock> acquire(const std::filesystem::path& folder,
                                               const std::string& fileName, Refusal& refusal);

    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    FolderLock(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}

    std::filesystem::path path_;
    int fd_;
};

} // namespace platform
