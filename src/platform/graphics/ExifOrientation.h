#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Reads the orientation tag from the EXIF block of a JPEG file held in memory.
class ExifOrientation {
public:
    // The EXIF orientation number 1..8; 1 when the file has no EXIF block, no orientation tag,
    // or a value outside the eight orientations.
    static int read(const std::uint8_t* jpeg, std::size_t size);
    // The same from an EXIF block on its own, as other containers keep it.
    static int readBlock(const std::uint8_t* block, std::size_t size);
};

} // namespace platform
