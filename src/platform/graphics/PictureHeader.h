#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

// What a picture file's header says about it, read without decoding anything: enough to
// know what reading it would cost before it is read.
struct PictureHeader {
    enum class Kind { Jpeg, Png, Heif, Webp };
    Kind kind = Kind::Jpeg;
    // The stored size in pixels, as the header claims it.
    int width = 0;
    int height = 0;
    std::uintmax_t fileBytes = 0;

    // nullopt for a file that is not a JPEG, PNG, HEIF or WebP file, or whose header is
    // damaged or cut off. A JPEG's segments are skipped by their lengths up to its frame
    // header, so only a few bytes of each are read; a HEIF file's boxes are read up to its
    // pixel data. A HEIF picture's size is the size it is shown at.
    static std::optional<PictureHeader> read(const std::filesystem::path& path);
};

} // namespace platform
