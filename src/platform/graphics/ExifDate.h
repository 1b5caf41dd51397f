#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

// When a photograph was taken, as its camera wrote it in the EXIF block (DateTimeOriginal).
// EXIF gives the camera's wall-clock time without a zone, so it is read as local time: the
// date printed from it is the day on the camera's clock.
class ExifDate {
public:
    // From a JPEG file held in memory, its first bytes being enough; nullopt when there is
    // no such tag or it holds no real date (cameras write zeros or blanks when unset).
    static std::optional<std::chrono::system_clock::time_point> read(const std::uint8_t* jpeg,
                                                                     std::size_t size);
    // The same from a file: a JPEG, of which only the part where the EXIF block can be is
    // read, a HEIC/HEIF or a WebP photo.
    static std::optional<std::chrono::system_clock::time_point>
    readFile(const std::filesystem::path& path);

    // "YYYY:MM:DD HH:MM:SS" as local time; nullopt for anything else or an impossible date.
    static std::optional<std::chrono::system_clock::time_point> parse(const char* text,
                                                                      std::size_t size);
};

} // namespace platform
