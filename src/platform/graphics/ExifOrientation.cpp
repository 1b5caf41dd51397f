#include "platform/graphics/ExifOrientation.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <memory>

namespace platform {

namespace {

struct ExifDataDeleter {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

// The payload of the first APP1 segment that starts with the EXIF header, found by walking the
// segments in front of the image data. libexif is handed only that segment, so a damaged file
// body never reaches it.
bool findExifSegment(const std::uint8_t* jpeg, std::size_t size, const std::uint8_t*& segment,
                     std::size_t& segmentSize) {
    static constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
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

} // namespace

int ExifOrientation::read(const std::uint8_t* jpeg, std::size_t size) {
    if (!jpeg || size < 4 || jpeg[0] != 0xff || jpeg[1] != 0xd8)
        return 1;
    const std::uint8_t* segment = nullptr;
    std::size_t segmentSize = 0;
    if (!findExifSegment(jpeg, size, segment, segmentSize))
        return 1;

    std::unique_ptr<ExifData, ExifDataDeleter> exif(exif_data_new());
    if (!exif)
        return 1;
    // Only one tag is wanted: leave the maker's private block alone.
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(exif.get(), segment, static_cast<unsigned int>(segmentSize));

    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || !entry->data || entry->components < 1)
        return 1;
    int value = 0;
    if (entry->format == EXIF_FORMAT_SHORT && entry->size >= 2)
        value = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
    else if (entry->format == EXIF_FORMAT_LONG && entry->size >= 4)
        value = static_cast<int>(exif_get_long(entry->data, exif_data_get_byte_order(exif.get())));
    return value >= 1 && value <= 8 ? value : 1;
}

} // namespace platform
