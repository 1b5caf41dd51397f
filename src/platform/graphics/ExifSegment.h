#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct _ExifData; // libexif's ExifData

namespace platform {

// The EXIF block of a JPEG file held in memory, as the tag readers hand it to libexif.
class ExifSegment {
public:
    // The payload of the first APP1 segment that starts with the EXIF header, found by
    // walking the segments in front of the image data; false when there is none, or the
    // segments are damaged or cut off before it. Only that segment reaches libexif, so a
    // damaged file body never does. The bytes may be the start of a file only.
    static bool find(const std::uint8_t* jpeg, std::size_t size, const std::uint8_t*& segment,
                     std::size_t& segmentSize);

    struct Release {
        void operator()(_ExifData* data) const;
    };
    using Data = std::unique_ptr<_ExifData, Release>;
    // That segment as libexif reads it, the maker's private block left alone; null when
    // there is none.
    static Data load(const std::uint8_t* jpeg, std::size_t size);
    // An EXIF block held outside a JPEG (a WebP chunk, a HEIF item), with or without the
    // "Exif" header in front of its TIFF data; null when it is empty.
    static Data loadBlock(const std::uint8_t* block, std::size_t size);
};

} // namespace platform
