// Writes the fuzzers' starting corpora: one small valid file of each kind a reader knows, so
// that fuzzing starts deep inside the formats instead of at their first byte.
//   make_seeds DIR   writes DIR/property_list, DIR/script and DIR/image
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <plist/plist.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using platform::PropertyList;
using Bytes = std::vector<std::uint8_t>;

namespace {

void write(const fs::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}
void write(const fs::path& path, const Bytes& bytes) {
    write(path, bytes.data(), bytes.size());
}
void write(const fs::path& path, const std::string& text) {
    write(path, text.data(), text.size());
}

void writePropertyLists(const fs::path& dir) {
    PropertyList::Array prints;
    const auto when = PropertyList::TimePoint(std::chrono::seconds(1'300'000'000));
    for (int i = 0; i < 3; ++i) {
        prints.push_back(
            PropertyList::array({PropertyList::string(std::to_string(1000 + i) + ".jpg"),
                                 PropertyList::date(when + std::chrono::hours(i))}));
    }
    write(dir / "prints.xml", PropertyList::array(prints).toXml());

    PropertyList::Dictionary entries;
    entries["text"] = PropertyList::string("caf\xc3\xa9 & <tags>");
    entries["count"] = PropertyList::integer(-42);
    entries["large"] = PropertyList::integer(1LL << 40);
    entries["ratio"] = PropertyList::real(0.75);
    entries["on"] = PropertyList::boolean(true);
    entries["off"] = PropertyList::boolean(false);
    entries["when"] = PropertyList::date(when);
    entries["bytes"] = PropertyList::data({0, 1, 2, 0xfe, 0xff});
    entries["nested"] = PropertyList::array({PropertyList::array({PropertyList::dictionary({})})});
    const PropertyList everything = PropertyList::array(
        {PropertyList::dictionary(entries), PropertyList::array(prints), PropertyList::string("")});
    const std::string xml = everything.toXml();
    write(dir / "everything.xml", xml);

    // The same values in the binary form, which only libplist writes.
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &root);
    char* binary = nullptr;
    uint32_t length = 0;
    if (root) {
        plist_to_bin(root, &binary, &length);
    }
    if (binary) {
        write(dir / "everything.bplist", binary, length);
        plist_to_bin_free(binary);
    }
    plist_free(root);
}

void writeScripts(const fs::path& dir) {
    write(dir / "every_command.txt", "# a session\n"
                                     "wait 1.5\n"
                                     "tap 160 440\n"
                                     "swipe 300 380 20 380\n"
                                     "key space\nkey left\nkey escape\n"
                                     "wait 0\n"
                                     "key l\n"
                                     "pick photos/holiday 1.jpg\n"
                                     "cancel\n"
                                     "key r\n"
                                     "alert 1\n"
                                     "shot out/screen.png   # after the gallery\n"
                                     "quit\n");
    write(dir / "crlf.txt", "tap 0 0\r\nwait 86400\r\nshot a.PNG\r\n");
}

// A picture with some structure, so that every JPEG block has detail to code.
platform::ImageRef gradient(int width, int height) {
    std::vector<std::uint32_t> argb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t r = x * 255 / width, g = y * 255 / height, b = (x ^ y) * 16 & 255;
            argb.push_back(0xff000000u | r << 16 | g << 8 | b);
        }
    }
    return platform::Image::fromPixels(width, height, argb);
}

// An EXIF block holding only an orientation, put right after the start-of-image marker.
Bytes withExif(const Bytes& jpeg, int orientation, bool bigEndian) {
    Bytes tiff =
        bigEndian ? Bytes{'M', 'M', 0, 42, 0, 0, 0, 8} : Bytes{'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put16 = [&](unsigned v) {
        if (bigEndian) {
            tiff.push_back(v >> 8), tiff.push_back(v & 255);
        } else {
            tiff.push_back(v & 255), tiff.push_back(v >> 8);
        }
    };
    auto put32 = [&](unsigned v) {
        if (bigEndian) {
            put16(v >> 16), put16(v & 0xffff);
        } else {
            put16(v & 0xffff), put16(v >> 16);
        }
    };
    put16(1);                     // one entry
    put16(0x0112), put16(3);      // orientation, SHORT
    put32(1);                     // one value
    put16(orientation), put16(0); // the value, left in its four bytes
    put32(0);                     // no next directory
    Bytes segment = {0xff, 0xe1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    const std::size_t length = segment.size() - 2;
    segment[2] = static_cast<std::uint8_t>(length >> 8);
    segment[3] = static_cast<std::uint8_t>(length & 255);
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes turboJpeg(const std::vector<std::uint8_t>& pixels, int width, int height, int format,
                int sampling, int flags) {
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    Bytes out;
    if (tjCompress2(handle, pixels.data(), width, 0, height, format, &jpeg, &size, sampling, 75,
                    flags) == 0) {
        out.assign(jpeg, jpeg + size);
    }
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    const std::uint32_t length = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const auto crc = crc32(0, png.data() + start, static_cast<uInt>(png.size() - start));
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
}

// A PNG of any colour type and depth; rows are raw bytes with filter 0 in front of each.
Bytes png(int width, int height, int depth, int colourType, bool interlaced, const Bytes& rows,
          const Bytes& palette = {}, const Bytes& transparency = {}) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    for (int value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    }
    header.insert(header.end(), {std::uint8_t(depth), std::uint8_t(colourType), 0, 0,
                                 std::uint8_t(interlaced ? 1 : 0)});
    chunk(out, "IHDR", header);
    if (!palette.empty()) {
        chunk(out, "PLTE", palette);
    }
    if (!transparency.empty()) {
        chunk(out, "tRNS", transparency);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(packedSize);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

void writeImages(const fs::path& dir) {
    const auto picture = gradient(17, 11);
    const Bytes fine = picture->jpegData(1.0);
    write(dir / "fine.jpg", fine);
    write(dir / "coarse.jpg", picture->jpegData(0.4));
    write(dir / "exif_right.jpg", withExif(fine, 6, false));
    write(dir / "exif_left_motorola.jpg", withExif(picture->jpegData(0.4), 8, true));

    std::vector<std::uint8_t> grey(16 * 8), cmyk(16 * 8 * 4);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<std::uint8_t>(i * 2);
    }
    for (std::size_t i = 0; i < cmyk.size(); ++i) {
        cmyk[i] = static_cast<std::uint8_t>(i * 7);
    }
    write(dir / "grey.jpg", turboJpeg(grey, 16, 8, TJPF_GRAY, TJSAMP_GRAY, 0));
    write(dir / "progressive.jpg",
          turboJpeg(grey, 16, 8, TJPF_GRAY, TJSAMP_GRAY, TJFLAG_PROGRESSIVE));
    write(dir / "cmyk.jpg", turboJpeg(cmyk, 16, 8, TJPF_CMYK, TJSAMP_444, 0));

    // 2 by 2 pictures of every PNG colour type.
    write(dir / "grey8.png", png(2, 2, 8, 0, false, {0, 10, 200, 0, 90, 255}));
    write(dir / "grey16.png", png(2, 2, 16, 0, false, {0, 1, 2, 3, 4, 0, 5, 6, 7, 8}));
    write(dir / "rgb.png", png(2, 2, 8, 2, false, {0, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12}));
    write(dir / "palette.png", png(2, 2, 2, 3, false, {0, 0x1b, 0, 0xe4},
                                   {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}, {128, 255}));
    write(dir / "grey_alpha.png", png(2, 2, 8, 4, false, {0, 1, 2, 3, 4, 0, 5, 6, 7, 8}));
    write(dir / "rgba.png",
          png(2, 2, 8, 6, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 9, 10, 11, 12, 13, 14, 15, 16}));
    write(dir / "interlaced.png", png(1, 1, 8, 6, true, {0, 200, 100, 50, 25}));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* name : {"property_list", "script", "image"}) {
        fs::create_directories(root / name);
    }
    writePropertyLists(root / "property_list");
    writeScripts(root / "script");
    writeImages(root / "image");
    return 0;
}
