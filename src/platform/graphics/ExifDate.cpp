#include "platform/graphics/ExifDate.h"

#include "platform/graphics/ExifSegment.h"
#include "platform/graphics/HeifCodec.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/WebpCodec.h"

#include <libexif/exif-data.h>

#include <ctime>
#include <fstream>
#include <vector>

namespace platform {

namespace {

// The EXIF block is one APP1 segment (64 KB at most), and only other segments of the same
// limit come before it: this much of a file holds it whenever a camera put it near the top.
constexpr std::size_t kHeadBytes = 256 * 1024;

bool digits(const char* text, std::size_t from, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

std::optional<std::chrono::system_clock::time_point> ExifDate::parse(const char* text,
                                                                     std::size_t size) {
    // Nineteen characters, often followed by the terminating zero the format asks for.
    if (!text || size < 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    int year, month, day, hour, minute, second;
    if (!digits(text, 0, 4, year) || !digits(text, 5, 2, month) || !digits(text, 8, 2, day) ||
        !digits(text, 11, 2, hour) || !digits(text, 14, 2, minute) || !digits(text, 17, 2, second))
        return std::nullopt;
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        second > 60)
        return std::nullopt;
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1; // whatever the zone's rules say for that day
    const std::time_t time = std::mktime(&fields);
    // mktime moves an impossible day (February 30) on to a real one: refuse it instead.
    if (time == std::time_t(-1) || fields.tm_mday != day || fields.tm_mon != month - 1)
        return std::nullopt;
    return std::chrono::system_clock::from_time_t(time);
}

namespace {

std::optional<std::chrono::system_clock::time_point> dateOf(const ExifSegment::Data& exif) {
    if (!exif)
        return std::nullopt;
    ExifEntry* entry =
        exif_content_get_entry(exif->ifd[EXIF_IFD_EXIF], EXIF_TAG_DATE_TIME_ORIGINAL);
    if (!entry || !entry->data || entry->format != EXIF_FORMAT_ASCII)
        return std::nullopt;
    return ExifDate::parse(reinterpret_cast<const char*>(entry->data), entry->size);
}

} // namespace

std::optional<std::chrono::system_clock::time_point> ExifDate::read(const std::uint8_t* jpeg,
                                                                    std::size_t size) {
    return dateOf(ExifSegment::load(jpeg, size));
}

std::optional<std::chrono::system_clock::time_point>
ExifDate::readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> head(kHeadBytes);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (HeifCodec::looksLikeHeif(head.data(), head.size())) {
        const std::vector<std::uint8_t> block = HeifCodec::exifBlock(path);
        return dateOf(ExifSegment::loadBlock(block.data(), block.size()));
    }
    if (WebpCodec::looksLikeWebp(head.data(), head.size())) {
        // A WebP keeps its EXIF chunk after the picture: the whole file is wanted.
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error || size > Image::kMaxFileBytes)
            return std::nullopt;
        std::vector<std::uint8_t> whole(static_cast<std::size_t>(size));
        in.clear();
        in.seekg(0);
        in.read(reinterpret_cast<char*>(whole.data()), std::streamsize(whole.size()));
        whole.resize(static_cast<std::size_t>(in.gcount()));
        const std::vector<std::uint8_t> block = WebpCodec::exifBlock(whole.data(), whole.size());
        return dateOf(ExifSegment::loadBlock(block.data(), block.size()));
    }
    return read(head.data(), head.size());
}

} // namespace platform
