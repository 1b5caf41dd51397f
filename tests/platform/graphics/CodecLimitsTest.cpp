// Picture files that would cost far more than they are worth, and large ordinary photos that
// must still be read: what a decode may take, what it makes, and what it says when it makes
// nothing.
#include "platform/graphics/Image.h"
#include "platform/graphics/JpegCodec.h"
#include "platform/graphics/PngCodec.h"
#include "support/PictureFolder.h"

#include "support/PeakMemory.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::ImageRef;

// A flat grey JPEG, left half light and right half dark, encoded from one grey plane: the
// smallest memory a photo of this size can be made in.
std::vector<std::uint8_t> greyJpeg(int width, int height) {
    std::vector<std::uint8_t> plane(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane[std::size_t(y) * width + x] = x < width / 2 ? 220 : 30;
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int status = tjCompress2(handle, plane.data(), width, width, height, TJPF_GRAY, &jpeg,
                                   &size, TJSAMP_GRAY, 75, 0);
    std::vector<std::uint8_t> out;
    if (status == 0)
        out.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return out;
}

std::vector<std::uint8_t> pngOf(const Image& image, const fs::path& scratch) {
    EXPECT_TRUE(image.writePng(scratch));
    std::ifstream in(scratch, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The PNG with a text chunk put straight after its header, claiming `length` bytes and
// holding `held` of them.
std::vector<std::uint8_t> withTextChunk(std::vector<std::uint8_t> png, std::uint32_t length,
                                        std::size_t held) {
    std::vector<std::uint8_t> chunk = {std::uint8_t(length >> 24),
                                       std::uint8_t(length >> 16),
                                       std::uint8_t(length >> 8),
                                       std::uint8_t(length),
                                       't',
                                       'E',
                                       'X',
                                       't'};
    chunk.push_back('k');
    chunk.push_back(0);
    chunk.resize(chunk.size() + held, 'a');
    chunk.resize(chunk.size() + 4, 0); // a CRC, checked by nobody once the chunk is skipped
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());
    return png;
}

using CodecLimits = PictureFolder;

TEST_F(CodecLimits, APngChunkClaimingGigabytesCostsNothingAndIsRefused) {
    const ImageRef small = Image::fromPixels(16, 16, std::vector<std::uint32_t>(256, 0xFF336699u));
    const std::vector<std::uint8_t> png = pngOf(*small, dir_ / "small.png");
    // 6 KB of file whose text chunk claims 2 GB.
    const std::vector<std::uint8_t> lying = withTextChunk(png, 0x7ffffff0u, 6000);
    std::string whyNot;
    const long grown = peak::growthOf([&] {
        if (Image::fromEncodedData(lying.data(), lying.size(), &whyNot))
            std::abort();
    });
    EXPECT_GE(grown, 0) << "the decode crashed or found a picture";
    EXPECT_LT(grown, 64 * 1024) << "kilobytes";
    EXPECT_EQ(Image::fromEncodedData(lying.data(), lying.size(), &whyNot), nullptr);
    EXPECT_NE(whyNot.find("damaged"), std::string::npos) << whyNot;

    // A real chunk above the cap is skipped unread, and the picture is still there.
    const std::size_t big = platform::PngCodec::kMaxAncillaryBytes + 10;
    const std::vector<std::uint8_t> wordy = withTextChunk(png, std::uint32_t(big + 2), big);
    const ImageRef read = Image::fromEncodedData(wordy.data(), wordy.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->pixel(8, 8), 0xFF336699u);
}

TEST_F(CodecLimits, AJpegLackingOnlyItsEndMarkerIsRead) {
    const std::vector<std::uint8_t> whole = greyJpeg(64, 48);
    const ImageRef expected = Image::fromEncodedData(whole.data(), whole.size());
    ASSERT_TRUE(expected);
    const std::vector<std::uint8_t> unended(whole.begin(), whole.end() - 2);
    const ImageRef read = Image::fromEncodedData(unended.data(), unended.size());
    ASSERT_TRUE(read);
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 7)
            ASSERT_EQ(read->pixel(x, y), expected->pixel(x, y)) << x << "," << y;
    // Cut inside the picture's data, it is still refused.
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + whole.size() * 2 / 3);
    EXPECT_EQ(Image::fromEncodedData(cut.data(), cut.size()), nullptr);
}

TEST_F(CodecLimits, LargePhotosAreReadReducedNotRefused) {
    struct Case {
        int width, height, readWidth, readHeight;
    };
    // A 108-megapixel photo, a panorama wider than any surface, and a 48-megapixel photo.
    for (const Case& c : {Case{12000, 9000, 3000, 2250}, Case{33000, 1500, 16500, 750},
                          Case{8000, 6000, 4000, 3000}}) {
        const std::vector<std::uint8_t> jpeg = greyJpeg(c.width, c.height);
        ASSERT_FALSE(jpeg.empty());
        std::string whyNot;
        const ImageRef read = Image::fromEncodedData(jpeg.data(), jpeg.size(), &whyNot);
        ASSERT_TRUE(read) << c.width << "x" << c.height << ": " << whyNot;
        EXPECT_EQ(read->pixelWidth(), c.readWidth);
        EXPECT_EQ(read->pixelHeight(), c.readHeight);
        // Reduced, not cut: both halves are there.
        EXPECT_GT(read->pixel(c.readWidth / 4, c.readHeight / 2) & 0xFF, 200u);
        EXPECT_LT(read->pixel(c.readWidth * 3 / 4, c.readHeight / 2) & 0xFF, 50u);
    }
    // At or below the working size a photo is read whole, as ever.
    const std::vector<std::uint8_t> usual = greyJpeg(4000, 3000);
    EXPECT_EQ(Image::fromEncodedData(usual.data(), usual.size())->pixelWidth(), 4000);
}

TEST_F(CodecLimits, APictureThatCannotBeUsedSaysWhy) {
    // A PNG cannot be read reduced: its header's size is the limit.
    std::vector<std::uint8_t> png = pngOf(
        *Image::fromPixels(4, 4, std::vector<std::uint32_t>(16, 0xFF000000u)), dir_ / "p.png");
    png[16] = 0, png[17] = 0, png[18] = 0x9c, png[19] = 0x40; // 40000 pixels wide
    std::string whyNot;
    EXPECT_EQ(Image::fromEncodedData(png.data(), png.size(), &whyNot), nullptr);
    EXPECT_NE(whyNot.find("too large: 40000 by 4 pixels"), std::string::npos) << whyNot;
    EXPECT_NE(whyNot.find("32767 pixels a side"), std::string::npos) << whyNot;

    // A file that is no picture is refused from its first bytes, not after reading it all.
    const fs::path video = dir_ / "video.mp4";
    {
        std::ofstream out(video, std::ios::binary);
        out.write("\0\0\0\x20"
                  "ftypisom",
                  12);
    }
    fs::resize_file(video, 3ull << 30); // sparse: 3 GB that take no disc
    const long grown = peak::growthOf([&] {
        std::string reason;
        if (Image::readFile(video, 0, &reason) ||
            reason != "not a picture that can be read (JPEG, PNG, HEIC or WebP)")
            std::abort();
    });
    EXPECT_GE(grown, 0) << "the read crashed, found a picture or gave another reason";
    EXPECT_LT(grown, 64 * 1024) << "kilobytes";
}

TEST_F(CodecLimits, AFileReadForASmallSideIsDecodedReduced) {
    const fs::path large = write("large.jpg", greyJpeg(4000, 3000));
    const ImageRef row = Image::readFile(large, 500);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->pixelWidth(), 1000);
    EXPECT_EQ(row->pixelHeight(), 750);
    // A file no larger than the side asked is read as it is, the same pixels as ever.
    const fs::path small = write("small.jpg", greyJpeg(250, 250));
    const ImageRef asked = Image::readFile(small, 500);
    ASSERT_TRUE(asked);
    const ImageRef whole = Image::contentsOfFile(small);
    EXPECT_EQ(asked->pixelWidth(), 250);
    for (int y = 0; y < 250; y += 13)
        for (int x = 0; x < 250; x += 13)
            ASSERT_EQ(asked->pixel(x, y), whole->pixel(x, y));
}

TEST(DecodeScale, AReductionIsChosenOnlyWhereItStillCoversTheSideAsked) {
    // Sides around each reduction's threshold, both ways round, up to a 200 megapixel photo.
    std::vector<int> sides;
    for (int base : {1200, 1500})
        for (int factor : {1, 2, 4, 8})
            for (int offset : {-9, -1, 0, 1, 7})
                sides.push_back(base * factor + offset);
    sides.push_back(800);
    sides.push_back(16000);
    for (int asked : {1200, 1500})
        for (int width : sides)
            for (int height : sides) {
                platform::DecodeRequest request;
                request.maxPixels = Image::kMaxPixels;
                request.maxSide = Image::kMaxSide;
                request.workingPixels = Image::kWorkingPixels;
                request.shortSide = asked;
                const auto scale = platform::JpegCodec::chooseScale(width, height, request);
                const std::string what = std::to_string(width) + "x" + std::to_string(height) +
                                         " for " + std::to_string(asked);
                const int shorter = std::min(scale.width, scale.height);
                if (std::min(width, height) < asked) {
                    EXPECT_EQ(scale.denominator, 1) << what << ": nothing covers, read whole";
                    continue;
                }
                if (shorter < asked) {
                    // Short of the side only where covering it would take more than the
                    // working memory.
                    ASSERT_GT(scale.denominator, 1) << what;
                    const int covering = scale.denominator / 2;
                    EXPECT_GT(std::int64_t{(width + covering - 1) / covering} *
                                  ((height + covering - 1) / covering),
                              Image::kWorkingPixels)
                        << what;
                    continue;
                }
                // The smallest that covers: half again would fall short.
                if (scale.denominator < 8) {
                    EXPECT_LT((std::min(width, height) + 2 * scale.denominator - 1) /
                                  (2 * scale.denominator),
                              asked)
                        << what;
                }
            }
}

} // namespace
