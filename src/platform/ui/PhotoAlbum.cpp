#include "platform/ui/PhotoAlbum.h"

#include "platform/foundation/Directories.h"
#include "platform/foundation/FileManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/RunLoop.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// Past this many pictures saved within one second something else is wrong.
constexpr int kMaxNumber = 10000;

std::string describe(const std::filesystem::path& path, int error) {
    return path.string() + ": " + std::strerror(error);
}

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        error = errno;
        return false;
    }
    return true;
}

// Creates `path` only if nothing is there and fills it. EEXIST in `error` means "taken".
bool createExclusively(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                       int& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool written = writeAll(fd, bytes, error);
    if (::close(fd) != 0 && written) {
        error = errno;
        ::unlink(path.c_str());
        return false;
    }
    if (!written)
        ::unlink(path.c_str());
    return written;
}

std::filesystem::path numbered(const std::filesystem::path& folder, const std::string& base,
                               int n) {
    return folder / (n == 1 ? base + ".jpg" : base + "-" + std::to_string(n) + ".jpg");
}

void save(std::vector<std::uint8_t> jpeg, ImageRef image, PhotoAlbum::Completion completion,
          PhotoAlbum::Written onWritten = {}) {
    RunLoop::AsyncWork work = RunLoop::main().beginAsyncWork();
    // Resolved here: the application and the environment are read on the main thread only.
    const std::string album = Application::exists() ? Application::shared().name() : "";
    const std::filesystem::path folder =
        album.empty() ? std::filesystem::path() : Directories::photoAlbumDirectory(album);
    const std::string base = PhotoAlbum::baseName(album, std::time(nullptr));
    std::thread([work = std::move(work), jpeg = std::move(jpeg), image = std::move(image),
                 completion = std::move(completion), onWritten = std::move(onWritten), folder,
                 base]() mutable {
        std::optional<std::string> error;
        if (image && !folder.empty())
            jpeg = image->jpegData(1.0);
        if (folder.empty()) {
            error = "the application has no name to give its photo album";
        } else if (jpeg.empty()) {
            error = image ? "the picture could not be encoded as JPEG" : "there is no picture";
        } else {
            std::string reason;
            if (PhotoAlbum::writeUnique(folder, base, jpeg, reason).empty())
                error = reason;
        }
        if (error)
            std::fprintf(stderr, "morvane: cannot save to the photo album: %s\n", error->c_str());
        if (onWritten)
            onWritten(!error);
        work.finish([completion = std::move(completion), error] {
            if (completion)
                completion(error);
        });
    }).detach();
}

} // namespace

void PhotoAlbum::writeToSavedPhotosAlbum(ImageRef image, Completion completion) {
    save({}, std::move(image), std::move(completion));
}

void PhotoAlbum::writeToSavedPhotosAlbum(ImageRef image, Completion completion, Written onWritten) {
    save({}, std::move(image), std::move(completion), std::move(onWritten));
}

void PhotoAlbum::writeJpegData(std::vector<std::uint8_t> jpeg, Completion completion) {
    save(std::move(jpeg), nullptr, std::move(completion));
}

std::filesystem::path PhotoAlbum::findCopy(const std::string& album,
                                           const std::filesystem::path& picture,
                                           std::time_t around) {
    // A copy is saved a moment after the time its print is named by, rarely before.
    constexpr std::time_t kNearby[] = {0, 1, 2, -1, -2};
    // Numbers past these are pictures of the same second made by a batch, not the camera.
    constexpr int kNumbersLooked = 8;
    std::error_code error;
    const auto size = std::filesystem::file_size(picture, error);
    if (album.empty() || error)
        return {};
    const std::filesystem::path folder = Directories::photoAlbumDirectory(album);
    std::optional<std::vector<std::uint8_t>> bytes;
    for (const std::time_t step : kNearby) {
        const std::string base = baseName(album, around + step);
        for (int n = 1; n <= kNumbersLooked; ++n) {
            const std::filesystem::path candidate = numbered(folder, base, n);
            if (std::filesystem::file_size(candidate, error) != size || error)
                continue;
            if (!bytes)
                bytes = FileManager::contents(picture);
            if (bytes && FileManager::contents(candidate) == bytes)
                return candidate;
        }
    }
    return {};
}

std::string PhotoAlbum::baseName(const std::string& album, std::time_t time) {
    std::tm local{};
    if (!::localtime_r(&time, &local))
        return album;
    char text[32];
    std::strftime(text, sizeof text, "-%Y%m%d-%H%M%S", &local);
    return album + text;
}

std::filesystem::path PhotoAlbum::writeUnique(const std::filesystem::path& folder,
                                              const std::string& base,
                                              const std::vector<std::uint8_t>& bytes,
                                              std::string& error) {
    // The bytes go into a hidden file first and are then linked under the free name: link()
    // never replaces, and the picture appears whole or not at all.
    std::string pattern = (folder / ("." + base + "-XXXXXX.part")).string();
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) {
        error = describe(folder, errno);
        return {};
    }
    const std::filesystem::path temporary = pattern;
    int code = 0;
    // mkstemps makes the file private; an album picture is for everyone to see.
    bool written = false;
    if (::fchmod(fd, 0644) != 0)
        code = errno;
    else
        written = writeAll(fd, bytes, code);
    if (::close(fd) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        error = describe(folder, code);
        return {};
    }
    bool linkable = true;
    for (int n = 1; n <= kMaxNumber; ++n) {
        const std::filesystem::path target = numbered(folder, base, n);
        if (linkable) {
            if (::link(temporary.c_str(), target.c_str()) == 0) {
                ::unlink(temporary.c_str());
                return target;
            }
            if (errno == EEXIST)
                continue;
            // Some file systems (FAT on a memory card) have no links: write in place instead.
            linkable = false;
            ::unlink(temporary.c_str());
        }
        if (createExclusively(target, bytes, code))
            return target;
        if (code != EEXIST) {
            error = describe(target, code);
            return {};
        }
    }
    if (linkable)
        ::unlink(temporary.c_str());
    error = folder.string() + ": no free name for " + base;
    return {};
}

} // namespace platform
