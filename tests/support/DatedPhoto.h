#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A photograph as a camera dates it: an EXIF block whose Exif sub-IFD holds DateTimeOriginal,
// put in front of a JPEG's first segment. The block is laid out by hand from the TIFF layout,
// so the date reader is checked against the format rather than against itself.
namespace dated {

// `jpeg` with an EXIF block carrying `date` ("YYYY:MM:DD HH:MM:SS", 19 characters) as
// DateTimeOriginal; littleEndian picks the byte order the block is written in.
inline std::vector<std::uint8_t> withDateTaken(const std::vector<std::uint8_t>& jpeg,
                                               const std::string& date, bool littleEndian = true) {
    std::vector<std::uint8_t> tiff;
    auto put16 = [&](unsigned v) {
        if (littleEndian)
            tiff.insert(tiff.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
        else
            tiff.insert(tiff.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
    };
    auto put32 = [&](std::uint32_t v) {
        if (littleEndian)
            tiff.insert(tiff.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                     std::uint8_t(v >> 24)});
        else
            tiff.insert(tiff.end(), {std::uint8_t(v >> 24), std::uint8_t(v >> 16),
                                     std::uint8_t(v >> 8), std::uint8_t(v)});
    };
    // Header, then IFD0 at 8 with one entry (the Exif IFD's offset, 26), then the Exif IFD
    // with one entry (DateTimeOriginal, ASCII, 20 bytes at 44), then the text.
    tiff.insert(tiff.end(), littleEndian ? std::initializer_list<std::uint8_t>{'I', 'I'}
                                         : std::initializer_list<std::uint8_t>{'M', 'M'});
    put16(42);
    put32(8);
    put16(1);
    put16(0x8769), put16(4), put32(1), put32(26);
    put32(0);
    put16(1);
    put16(0x9003), put16(2), put32(20), put32(44);
    put32(0);
    tiff.insert(tiff.end(), date.begin(), date.end());
    tiff.push_back(0);

    std::vector<std::uint8_t> segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    const std::size_t length = segment.size() - 2;
    segment[2] = std::uint8_t(length >> 8);
    segment[3] = std::uint8_t(length);

    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

} // namespace dated
