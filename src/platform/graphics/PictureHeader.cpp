#include "platform/graphics/PictureHeader.h"

#include "platform/graphics/HeifCodec.h"
#include "platform/graphics/WebpCodec.h"

#include <cstring>
#include <fstream>

namespace platform {

namespace {

std::uint32_t bigEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// A start-of-frame marker: every coding (baseline, progressive, lossless, arithmetic) but
// the three markers in that range that are something else (DHT, JPG, DAC).
bool isFrameHeader(unsigned char marker) {
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

bool readJpegSize(std::ifstream& in, PictureHeader& header) {
    unsigned char bytes[9];
    in.seekg(2);
    for (;;) {
        if (!in.read(reinterpret_cast<char*>(bytes), 2) || bytes[0] != 0xff)
            return false;
        unsigned char marker = bytes[1];
        while (marker == 0xff) { // fill bytes
            if (!in.read(reinterpret_cast<char*>(&marker), 1))
                return false;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue;
        if (marker == 0xda || marker == 0xd9) // image data before any frame header
            return false;
        if (!in.read(reinterpret_cast<char*>(bytes), 2))
            return false;
        const std::uint32_t length = bigEndian(bytes, 2);
        if (length < 2)
            return false;
        if (isFrameHeader(marker)) {
            // Precision, then height and width.
            if (length < 7 || !in.read(reinterpret_cast<char*>(bytes), 5))
                return false;
            header.height = int(bigEndian(bytes + 1, 2));
            header.width = int(bigEndian(bytes + 3, 2));
            return header.width > 0 && header.height > 0;
        }
        in.seekg(length - 2, std::ios::cur);
    }
}

} // namespace

std::optional<PictureHeader> PictureHeader::read(const std::filesystem::path& path) {
    std::error_code error;
    PictureHeader header;
    header.fileBytes = std::filesystem::file_size(path, error);
    if (error)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    // A WebP file's first chunk header and the start of its bitstream hold its size.
    unsigned char head[40] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got < 3)
        return std::nullopt;
    if (WebpCodec::looksLikeWebp(head, got)) {
        header.kind = Kind::Webp;
        return WebpCodec::readSize(head, got, header.width, header.height) ? std::optional(header)
                                                                           : std::nullopt;
    }
    if (HeifCodec::looksLikeHeif(head, got)) {
        header.kind = Kind::Heif;
        return HeifCodec::readSize(path, header.width, header.height) ? std::optional(header)
                                                                      : std::nullopt;
    }
    in.clear();
    if (head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff) {
        header.kind = Kind::Jpeg;
        return readJpegSize(in, header) ? std::optional(header) : std::nullopt;
    }
    static constexpr unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    // The signature, then the IHDR chunk's length and name, then width and height.
    if (got < 24 || std::memcmp(head, kPng, sizeof kPng) != 0 ||
        std::memcmp(head + 12, "IHDR", 4) != 0)
        return std::nullopt;
    header.kind = Kind::Png;
    const std::uint32_t width = bigEndian(head + 16, 4), height = bigEndian(head + 20, 4);
    if (width == 0 || height == 0 || width > 0x7fffffffu || height > 0x7fffffffu)
        return std::nullopt;
    header.width = int(width);
    header.height = int(height);
    return header;
}

} // namespace platform
