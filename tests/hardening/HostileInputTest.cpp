// Inputs shaped to hurt: each must be turned away cleanly, in bounded time and memory.
#include "hardening/BinaryPropertyList.h"
#include "hardening/ProcessStatus.h"
#include "support/PictureFolder.h"

#include "platform/camera/CameraSourceFactory.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using platform::Image;
using platform::ImageRef;
using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::optional<PropertyList> readList(const std::string& bytes) {
    return PropertyList::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
}

std::string repeat(const std::string& text, std::size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

constexpr std::size_t kMillion = 1'000'000;

using HostileInput = PictureFolder;

} // namespace

TEST_F(HostileInput, PropertyListsNestedAMillionDeepReadAsNoList) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    hardening::BinaryPropertyList chain;
    for (std::uint32_t i = 0; i + 1 < kMillion; ++i) {
        chain.add(hardening::BinaryPropertyList::array({i + 1}));
    }
    chain.add(hardening::BinaryPropertyList::array({}));

    const std::vector<std::pair<std::string, std::string>> lists = {
        {"XML arrays",
         head + repeat("<array>", kMillion) + repeat("</array>", kMillion) + "</plist>"},
        {"XML arrays never closed", head + repeat("<array>", kMillion)},
        {"XML dictionaries",
         head + repeat("<dict><key>k</key>", kMillion) + repeat("</dict>", kMillion) + "</plist>"},
        {"binary arrays", chain.bytes()},
    };
    for (const auto& [name, bytes] : lists) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(readList(bytes));
        // The camera reads its lists from files; the file path must hold as well.
        const auto path = write("config.plist", bytesOf(bytes));
        EXPECT_FALSE(PropertyList::readFile(path));
    }
}

TEST_F(HostileInput, SharedBinaryObjectsCannotMultiplyIntoBillionsOfValues) {
    // Forty arrays that each refer twice to the next: 300 bytes that would be 2^41 values.
    hardening::BinaryPropertyList doubling;
    for (std::uint32_t i = 0; i < 40; ++i) {
        doubling.add(hardening::BinaryPropertyList::array({i + 1, i + 1}));
    }
    doubling.add(hardening::BinaryPropertyList::string("x"));
    EXPECT_FALSE(readList(doubling.bytes()));

    // Honest writers share equal strings and numbers; a long array of one shared string is a
    // real list and reads whole, in time proportional to its length (read in quadratic time,
    // as it once was, this one took hours).
    constexpr std::size_t kLength = kMillion;
    hardening::BinaryPropertyList shared;
    std::vector<std::uint32_t> references(kLength, 1);
    shared.add(hardening::BinaryPropertyList::array(references));
    shared.add(hardening::BinaryPropertyList::string("1001.jpg"));
    const auto list = readList(shared.bytes());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), kLength);
    EXPECT_EQ((*list)[0].stringValue(), "1001.jpg");
    EXPECT_EQ((*list)[kLength - 1].stringValue(), "1001.jpg");
}

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int k = 0; k < width; ++k) {
        bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - k)));
    }
}

// A real picture whose frame header claims another size: decoding it for real would need the
// claimed size's memory.
Bytes jpegClaiming(std::uint16_t width, std::uint16_t height) {
    std::vector<std::uint32_t> pixels(16 * 16, 0xff336699u);
    Bytes jpeg = Image::fromPixels(16, 16, pixels)->jpegData(0.9);
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && (jpeg[i + 1] == 0xc0 || jpeg[i + 1] == 0xc2)) {
            putBigEndian(jpeg, i + 5, height, 2);
            putBigEndian(jpeg, i + 7, width, 2);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header in the encoder's JPEG";
    return jpeg;
}

// The same for PNG, with the header's checksum made right so that libpng would believe it.
Bytes pngClaiming(const fs::path& scratch, std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint32_t> pixels(4 * 4, 0x80402010u);
    EXPECT_TRUE(Image::fromPixels(4, 4, pixels)->writePng(scratch));
    std::ifstream in(scratch, std::ios::binary);
    Bytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    putBigEndian(png, 16, width, 4);
    putBigEndian(png, 20, height, 4);
    putBigEndian(png, 29, crc32(png.data() + 12, 17), 4);
    return png;
}

} // namespace

TEST_F(HostileInput, PicturesClaimingHugeSizesGiveNoPictureWithoutAllocatingIt) {
    const std::vector<std::pair<std::string, Bytes>> pictures = {
        {"huge.jpg", jpegClaiming(60000, 60000)},
        // Just above the limit: small enough that an allocation would succeed and show. A JPEG
        // this size is read reduced, so its missing data is what refuses it.
        {"over.jpg", jpegClaiming(10001, 10000)},
        {"huge.png", pngClaiming(dir_ / "scratch.png", 60000, 60000)},
        {"over.png", pngClaiming(dir_ / "scratch.png", 10001, 10000)},
    };
    const std::int64_t peakBefore = hardening::statusKilobytes("VmPeak");
    ASSERT_GT(peakBefore, 0);
    for (const auto& [name, bytes] : pictures) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Image::fromEncodedData(bytes.data(), bytes.size()), nullptr);
        const auto path = write(name, bytes);
        EXPECT_EQ(Image::contentsOfFile(path), nullptr);
        // Named as the camera's picture on the command line: refused with a reason.
        std::string error;
        EXPECT_EQ(platform::makeCameraSource(path.string(), error), nullptr);
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
    // 10001 by 10000 pixels are 400 MB; nothing near that may have been mapped.
    EXPECT_LT(hardening::statusKilobytes("VmPeak") - peakBefore, 64 * 1024);
}

TEST_F(HostileInput, PicturesCutOffAnywhereGiveNoPicture) {
    std::vector<std::uint32_t> pixels;
    for (int i = 0; i < 40 * 30; ++i) {
        const std::uint32_t alpha = 0x40 + (i % 0xc0);
        pixels.push_back(alpha << 24 | (i * 7 % alpha) << 16 | (i * 3 % alpha) << 8 | (i % alpha));
    }
    const auto picture = Image::fromPixels(40, 30, pixels);
    ASSERT_TRUE(picture->writePng(dir_ / "whole.png"));
    const Bytes png = read(dir_ / "whole.png");
    const Bytes jpeg = picture->jpegData(0.8);

    for (const auto& [kind, whole] : {std::pair{"PNG", png}, std::pair{"JPEG", jpeg}}) {
        SCOPED_TRACE(kind);
        ASSERT_NE(Image::fromEncodedData(whole.data(), whole.size()), nullptr);
        // A JPEG that lacks no more than its end marker still holds every pixel: it gives
        // the whole picture. Any other cut gives none.
        const std::size_t wholePixels =
            kind == std::string("JPEG") ? whole.size() - 2 : whole.size();
        int given = 0;
        for (std::size_t cut = 0; cut < wholePixels; ++cut) {
            given += Image::fromEncodedData(whole.data(), cut) != nullptr;
        }
        EXPECT_EQ(given, 0) << "cut-off files that still gave a picture";
        const ImageRef complete = Image::fromEncodedData(whole.data(), whole.size());
        for (std::size_t cut = wholePixels; cut < whole.size(); ++cut) {
            const ImageRef unended = Image::fromEncodedData(whole.data(), cut);
            ASSERT_TRUE(unended) << cut;
            EXPECT_EQ(unended->pixel(17, 11), complete->pixel(17, 11));
        }
    }
}
