#include "platform/graphics/ExifSegment.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <vector>

namespace platform {

bool ExifSegment::find(const std::uint8_t* jpeg, std::size_t size, const std::uint8_t*& segment,
                       std::size_t& segmentSize) {
    static constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    if (!jpeg || size < 4 || jpeg[0] != 0xff || jpeg[1] != 0xd8)
        return false;
    std::size_t pos = 2; // after the start-of-image marker
    while (pos + 4 <= size) {
        if (jpeg[pos] != 0xff)
            return false;
        const std::uint8_t marker = jpeg[pos + 1];
        if (marker == 0xff) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xda || marker == 0xd9) // image data or end: no more metadata
            return false;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) { // markers without length
            pos += 2;
            continue;
        }
        const std::size_t length = (std::size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            return false;
        const std::uint8_t* payload = jpeg + pos + 4;
        const std::size_t payloadSize = length - 2;
        if (marker == 0xe1 && payloadSize > sizeof kExifHeader &&
            std::memcmp(payload, kExifHeader, sizeof kExifHeader) == 0) {
            segment = payload;
            segmentSize = payloadSize;
            return true;
        }
        pos += 2 + length;
    }
    return false;
}

void ExifSegment::Release::operator()(_ExifData* data) const {
    exif_data_unref(data);
}

ExifSegment::Data ExifSegment::loadBlock(const std::uint8_t* block, std::size_t size) {
    static constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    if (!block || size == 0 || size > 0xffffffu)
        return nullptr;
    // libexif finds the TIFF data only behind the header, as a JPEG segment has it.
    std::vector<std::uint8_t> framed;
    if (size < sizeof kExifHeader || std::memcmp(block, kExifHeader, sizeof kExifHeader) != 0) {
        framed.assign(kExifHeader, kExifHeader + sizeof kExifHeader);
        framed.insert(framed.end(), block, block + size);
        block = framed.data();
        size = framed.size();
    }
    Data exif(exif_data_new());
    if (!exif)
        return nullptr;
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(exif.get(), block, static_cast<unsigned int>(size));
    return exif;
}

ExifSegment::Data ExifSegment::load(const std::uint8_t* jpeg, std::size_t size) {
    const std::uint8_t* segment = nullptr;
    std::size_t segmentSize = 0;
    if (!find(jpeg, size, segment, segmentSize))
        return nullptr;
    Data exif(exif_data_new());
    if (!exif)
        return nullptr;
    // Only a tag or two is wanted: leave the maker's private block alone.
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(exif.get(), segment, static_cast<unsigned int>(segmentSize));
    return exif;
}

} // namespace platform
