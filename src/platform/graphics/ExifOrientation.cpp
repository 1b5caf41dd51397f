#include "platform/graphics/ExifOrientation.h"

#include "platform/graphics/ExifSegment.h"

#include <libexif/exif-data.h>

namespace platform {

namespace {

int orientationOf(const ExifSegment::Data& exif) {
    if (!exif)
        return 1;
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

} // namespace

int ExifOrientation::read(const std::uint8_t* jpeg, std::size_t size) {
    return orientationOf(ExifSegment::load(jpeg, size));
}

int ExifOrientation::readBlock(const std::uint8_t* block, std::size_t size) {
    return orientationOf(ExifSegment::loadBlock(block, size));
}

} // namespace platform
