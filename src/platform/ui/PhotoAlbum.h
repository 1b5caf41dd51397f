#pragma once

#include "platform/graphics/Image.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The photo album: the folder where full-size pictures are kept for the user. It is named
// after the application (Application::name()), and so are its pictures: NAME in the pictures
// folder (Directories::photoAlbumDirectory), "NAME-YYYYMMDD-HHMMSS.jpg" after the local time
// of the call, then "-2", "-3"... when that name is taken, for nothing in the album is ever
// replaced. A save encodes and writes on a worker thread and answers later, on the main run
// loop, exactly once.
class PhotoAlbum {
public:
    // Called with no error on success, else with a sentence saying what failed.
    using Completion = std::function<void(std::optional<std::string> error)>;

    // Encodes the picture as JPEG at quality 1.0 and saves it. A failed write (folder not
    // writable, disk full, no picture, an application without a name) still completes, with
    // the error, and says so in one line on standard error.
    static void writeToSavedPhotosAlbum(ImageRef image, Completion completion);
    // The same, and `onWritten` hears on the worker thread, as soon as the write is over,
    // whether the picture is safe in the album: work that must follow a good save (a paper
    // copy) need not wait for the main run loop, which may be closing.
    using Written = std::function<void(bool saved)>;
    static void writeToSavedPhotosAlbum(ImageRef image, Completion completion, Written onWritten);
    // Saves bytes that are already JPEG, as they are.
    static void writeJpegData(std::vector<std::uint8_t> jpeg, Completion completion);

    // The name before numbering for a picture saved at `time` in the album called `album`,
    // in local time.
    static std::string baseName(const std::string& album, std::time_t time);
    // Writes `bytes` into `folder` under the first free name of `base` (".jpg", "-2.jpg", ...)
    // without ever replacing a file; readers never see a half-written picture under that
    // name. Returns the path, or an empty path and the reason in `error`. Any thread.
    static std::filesystem::path writeUnique(const std::filesystem::path& folder,
                                             const std::string& base,
                                             const std::vector<std::uint8_t>& bytes,
                                             std::string& error);
    // The album's copy of `picture`: a file of the same bytes in the album called `album`,
    // saved within a couple of seconds of `around`. Empty when there is none (removed by the
    // user, or saved under another time). Main thread.
    static std::filesystem::path findCopy(const std::string& album,
                                          const std::filesystem::path& picture, std::time_t around);
};

} // namespace platform
