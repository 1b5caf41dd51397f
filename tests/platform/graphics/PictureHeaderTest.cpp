#include "support/DatedPhoto.h"
#include "support/TempHome.h"

#include "platform/graphics/Image.h"
#include "platform/graphics/PictureHeader.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using platform::Image;
using platform::PictureHeader;

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                std::size_t count) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(count));
}

// The header's size is the one the decoder finds, past whatever segments come first.
TEST(PictureHeaderTest, TheSizeIsReadFromTheHeaderAsTheDecoderFindsIt) {
    TempHome home;
    const auto picture =
        Image::fromPixels(37, 21, std::vector<std::uint32_t>(37 * 21, 0xFF336699u));
    const auto jpeg = dated::withDateTaken(picture->jpegData(0.8), "2019:07:14 18:30:05");
    const auto jpegPath = home.root() / "photo.jpg";
    writeBytes(jpegPath, jpeg, jpeg.size());
    const auto pngPath = home.root() / "photo.png";
    ASSERT_TRUE(picture->writePng(pngPath));

    for (const auto& path : {jpegPath, pngPath}) {
        const auto header = PictureHeader::read(path);
        const auto decoded = Image::readFile(path);
        ASSERT_TRUE(header && decoded) << path;
        EXPECT_EQ(header->width, decoded->pixelWidth()) << path;
        EXPECT_EQ(header->height, decoded->pixelHeight()) << path;
        EXPECT_EQ(header->fileBytes, std::filesystem::file_size(path));
    }
    EXPECT_EQ(PictureHeader::read(jpegPath)->kind, PictureHeader::Kind::Jpeg);
    EXPECT_EQ(PictureHeader::read(pngPath)->kind, PictureHeader::Kind::Png);

    // Cut off before the frame header, or no picture at all: nothing is claimed.
    writeBytes(home.root() / "cut.jpg", jpeg, 60);
    EXPECT_FALSE(PictureHeader::read(home.root() / "cut.jpg"));
    TempHome::writeText(home.root() / "notes.png", "not a picture at all");
    EXPECT_FALSE(PictureHeader::read(home.root() / "notes.png"));
    EXPECT_FALSE(PictureHeader::read(home.root() / "missing.jpg"));
}

} // namespace
