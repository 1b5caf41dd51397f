#include "support/PhoneFormats.h"
#include "support/DatedPhoto.h"
#include "support/PictureFolder.h"

#include "platform/graphics/ExifDate.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/PictureHeader.h"

#include <gtest/gtest.h>

namespace {

using platform::Image;
using platform::ImageOrientation;
using platform::ImageRef;
using platform::PictureHeader;

constexpr int kWidth = 64, kHeight = 48; // the photo as it is seen

// The picture as it is seen, drawn upright after its flag.
ImageRef upright(const Image& image) {
    const platform::Size seen = image.size();
    platform::ImageContext context(int(seen.width), int(seen.height));
    context.drawImageUpright({0, 0, seen.width, seen.height}, image);
    return context.makeImage();
}

// Each quarter of the seen picture has its own colour, checked well inside it.
void expectQuarters(const Image& seen, const std::string& what) {
    ASSERT_EQ(seen.pixelWidth(), kWidth) << what;
    ASSERT_EQ(seen.pixelHeight(), kHeight) << what;
    for (int bottom = 0; bottom < 2; ++bottom)
        for (int right = 0; right < 2; ++right) {
            const int x = kWidth / 4 + right * kWidth / 2, y = kHeight / 4 + bottom * kHeight / 2;
            EXPECT_TRUE(
                testpictures::near(seen.pixel(x, y), oriented::quarterColour(right, bottom), 16))
                << what << ": quarter " << right << "," << bottom << " is " << std::hex
                << seen.pixel(x, y);
        }
}

class PhoneFormatsTest : public PictureFolder {};

// A phone's HEIC carries its turn twice: in the container, which the decoder applies, and in
// the EXIF copy for older readers, which must not be applied again.
TEST_F(PhoneFormatsTest, HeicPhotosArriveUprightInEveryOrientationTurnedOnce) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const auto path = dir_ / ("photo-" + std::to_string(orientation) + ".heic");
        ASSERT_TRUE(phoneformats::writeQuartersHeic(path, orientation, kWidth, kHeight));
        std::string why;
        const ImageRef image = Image::readFile(path, 0, &why);
        ASSERT_TRUE(image) << orientation << ": " << why;
        EXPECT_EQ(image->orientation(), ImageOrientation::Up) << orientation;
        expectQuarters(*image, "HEIC orientation " + std::to_string(orientation));

        const auto header = PictureHeader::read(path);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->kind, PictureHeader::Kind::Heif);
        EXPECT_EQ(header->width, kWidth);
        EXPECT_EQ(header->height, kHeight);
    }
}

TEST_F(PhoneFormatsTest, WebpPhotosKeepTheirExifOrientationAsTheFlag) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const auto path = dir_ / ("photo-" + std::to_string(orientation) + ".webp");
        ASSERT_TRUE(phoneformats::writeQuartersWebp(path, orientation, kWidth, kHeight));
        std::string why;
        const ImageRef image = Image::readFile(path, 0, &why);
        ASSERT_TRUE(image) << orientation << ": " << why;
        EXPECT_EQ(int(image->orientation()), orientation);
        expectQuarters(*upright(*image), "WebP orientation " + std::to_string(orientation));
        // From memory too, as the thumbnails read it.
        const auto bytes = read(path);
        const ImageRef again = Image::fromEncodedData(bytes.data(), bytes.size());
        ASSERT_TRUE(again);
        EXPECT_EQ(again->orientation(), image->orientation());
    }
    const auto header = PictureHeader::read(dir_ / "photo-6.webp");
    ASSERT_TRUE(header);
    EXPECT_EQ(header->kind, PictureHeader::Kind::Webp);
    // The stored size, as for a JPEG: the flag turns it.
    EXPECT_EQ(header->width, kHeight);
    EXPECT_EQ(header->height, kWidth);
}

TEST_F(PhoneFormatsTest, AWebpIsReadReducedOnlyAsFarAsTheNeededSideAllows) {
    const ImageRef stored = testpictures::solid(400, 300, testpictures::kBlue);
    const auto path = write("big.webp", phoneformats::webp(*stored));
    const ImageRef half = Image::readFile(path, 100);
    ASSERT_TRUE(half);
    // A quarter would leave 75 rows where 100 are wanted.
    EXPECT_EQ(half->pixelWidth(), 200);
    EXPECT_EQ(half->pixelHeight(), 150);
    EXPECT_TRUE(testpictures::near(half->pixel(100, 75), testpictures::kBlue, 4));
    const ImageRef whole = Image::readFile(path);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->pixelWidth(), 400);
}

// Cut anywhere, neither kind gives a picture, and each says why.
TEST_F(PhoneFormatsTest, CutShortHeicAndWebpFilesAreRefusedWithAReason) {
    // Noise, so that the picture's data is most of either file.
    std::uint32_t seed = 12345;
    const ImageRef stored = testpictures::picture(96, 64, [&seed](int, int) {
        seed = seed * 1664525u + 1013904223u;
        return 0xFF000000u | (seed >> 8);
    });
    const std::vector<std::vector<std::uint8_t>> files = {phoneformats::heic(*stored),
                                                          phoneformats::webp(*stored, 6)};
    for (const auto& whole : files) {
        ASSERT_GT(whole.size(), 200u);
        for (const std::size_t length : {std::size_t(12), std::size_t(40), whole.size() / 3,
                                         whole.size() / 2, whole.size() - 16, whole.size() - 1}) {
            const auto path = write("cut", {whole.begin(), whole.begin() + std::ptrdiff_t(length)});
            std::string why;
            EXPECT_FALSE(Image::readFile(path, 0, &why)) << length << " of " << whole.size();
            EXPECT_FALSE(why.empty()) << length;
            const auto bytes = read(path);
            EXPECT_FALSE(Image::fromEncodedData(bytes.data(), bytes.size(), nullptr, 80));
        }
        const auto path = write("whole", whole);
        EXPECT_TRUE(Image::readFile(path));
    }
}

// The day a phone or a browser kept with the photo, for prints dated by it.
TEST_F(PhoneFormatsTest, TheDateTakenIsReadFromHeicAndWebpExif) {
    const ImageRef stored = testpictures::solid(32, 24, testpictures::kGreen);
    // The TIFF data of the EXIF segment a camera would put in a JPEG.
    const auto segment =
        dated::withDateTaken({0xFF, 0xD8, 0xFF, 0xD9}, "2021:05:06 07:08:09", false);
    const std::vector<std::uint8_t> block(segment.begin() + 12, segment.end() - 2);
    const auto when = platform::ExifDate::parse("2021:05:06 07:08:09", 19);
    ASSERT_TRUE(when);
    const auto heic = write("dated.heic", phoneformats::heicWithExif(*stored, 1, block));
    const auto webp = write("dated.webp", phoneformats::webpWithExif(*stored, block));
    EXPECT_EQ(platform::ExifDate::readFile(heic), when);
    EXPECT_EQ(platform::ExifDate::readFile(webp), when);
    // Without a block there is no date, and the picture reads as ever.
    EXPECT_FALSE(platform::ExifDate::readFile(write("plain.heic", phoneformats::heic(*stored))));
    EXPECT_FALSE(platform::ExifDate::readFile(write("plain.webp", phoneformats::webp(*stored))));
    EXPECT_TRUE(Image::readFile(webp));
}

} // namespace
