#include "platform/graphics/Image.h"
#include "PixelHelpers.h"
#include "support/PictureFolder.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <libexif/exif-data.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::ImageOrientation;
using platform::ImageRef;
using testing_pixels::pack;

using ImageFiles = PictureFolder;

// Smooth colour with some detail, like a photograph.
ImageRef photo(int width, int height) {
    std::mt19937 random(7);
    std::vector<std::uint32_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int noise = int(random() % 24);
            px.push_back(pack((x * 255 / width + noise) % 256, (y * 255 / height) % 256,
                              (128 + noise * 3) % 256));
        }
    return Image::fromPixels(width, height, px);
}

int maxDifference(const Image& a, const Image& b) {
    int worst = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift : {0, 8, 16, 24})
                worst =
                    std::max(worst, std::abs(int((p >> shift) & 0xff) - int((q >> shift) & 0xff)));
        }
    return worst;
}

// A JPEG with an EXIF block carrying the orientation tag, written as a camera would.
std::vector<std::uint8_t> withExifOrientation(const std::vector<std::uint8_t>& jpeg, int value,
                                              ExifByteOrder order) {
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, order);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, order, ExifShort(value));
    unsigned char* block = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &block, &size);
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.push_back(0xff);
    out.push_back(0xe1);
    out.push_back(std::uint8_t((size + 2) >> 8));
    out.push_back(std::uint8_t((size + 2) & 0xff));
    out.insert(out.end(), block, block + size);
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    free(block);
    exif_entry_unref(entry);
    exif_data_unref(exif);
    return out;
}

TEST_F(ImageFiles, PngKeepsEveryPixelIncludingTransparency) {
    const auto original =
        Image::fromPixels(3, 2,
                          {pack(255, 0, 0), pack(0, 0, 0, 0), pack(64, 32, 0, 128), pack(1, 2, 3),
                           pack(0, 255, 0), pack(0, 0, 200, 200)});
    ASSERT_TRUE(original);
    ASSERT_TRUE(original->writePng(dir_ / "a.png"));
    const auto back = Image::contentsOfFile(dir_ / "a.png");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->orientation(), ImageOrientation::Up);
    EXPECT_LE(maxDifference(*original, *back), 1); // premultiplication rounding only

    // An opaque PNG comes out of Cairo's reader without alpha; it must read as opaque.
    cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2, 2);
    cairo_t* cr = cairo_create(rgb);
    cairo_set_source_rgb(cr, 0, 0.5, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(rgb, (dir_ / "rgb.png").c_str());
    cairo_surface_destroy(rgb);
    const auto opaque = Image::contentsOfFile(dir_ / "rgb.png");
    ASSERT_TRUE(opaque);
    EXPECT_EQ(testing_pixels::alpha(opaque->pixel(1, 1)), 255);
    EXPECT_EQ(testing_pixels::blue(opaque->pixel(1, 1)), 255);
}

TEST_F(ImageFiles, JpegRoundTripStaysCloseAndLowerQualityIsSmaller) {
    const auto original = photo(96, 64);
    const auto best = original->jpegData(1.0);
    ASSERT_FALSE(best.empty());
    const auto back = Image::fromEncodedData(best.data(), best.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixelWidth(), 96);
    EXPECT_EQ(back->pixelHeight(), 64);
    EXPECT_LE(maxDifference(*original, *back), 8);

    const auto mid = original->jpegData(0.6);
    const auto low = original->jpegData(0.1);
    EXPECT_LT(low.size(), mid.size());
    EXPECT_LT(mid.size(), best.size());
    EXPECT_FALSE(original->jpegData(0).empty());

    // Full-resolution colour at 1.0, halved colour resolution below.
    auto sampling = [](const std::vector<std::uint8_t>& jpeg) {
        tjhandle handle = tjInitDecompress();
        int w, h, subsampling = -1, colorspace;
        tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &w, &h, &subsampling, &colorspace);
        tjDestroy(handle);
        return subsampling;
    };
    EXPECT_EQ(sampling(best), TJSAMP_444);
    EXPECT_EQ(sampling(original->jpegData(0.9)), TJSAMP_420);

    ASSERT_TRUE(original->writeJpeg(dir_ / "p.jpg", 1.0));
    EXPECT_EQ(read(dir_ / "p.jpg"), best);
    EXPECT_FALSE(original->writeJpeg(dir_ / "missing-folder" / "p.jpg", 1.0));
}

TEST_F(ImageFiles, JpegOfPartlyTransparentPixelsLooksAsOverBlack) {
    // Half-transparent red and a fully transparent pixel, premultiplied.
    std::vector<std::uint32_t> px(16 * 16, pack(128, 0, 0, 128));
    for (int i = 0; i < 16 * 8; ++i)
        px[i] = 0;
    const auto image = Image::fromPixels(16, 16, px);
    const auto jpeg = image->jpegData(1.0);
    const auto back = Image::fromEncodedData(jpeg.data(), jpeg.size());
    ASSERT_TRUE(back);
    EXPECT_NEAR(testing_pixels::red(back->pixel(8, 12)), 128, 4);
    EXPECT_NEAR(testing_pixels::red(back->pixel(8, 2)), 0, 4);
    EXPECT_EQ(testing_pixels::alpha(back->pixel(8, 2)), 255);
}

TEST_F(ImageFiles, ExifOrientationBecomesTheFlagAndThePixelsStayAsStored) {
    const auto original = photo(40, 24);
    const auto jpeg = original->jpegData(1.0);
    struct Case {
        int value;
        ExifByteOrder order;
        ImageOrientation want;
    };
    for (const Case& c : {Case{6, EXIF_BYTE_ORDER_INTEL, ImageOrientation::Right},
                          Case{8, EXIF_BYTE_ORDER_MOTOROLA, ImageOrientation::Left},
                          Case{3, EXIF_BYTE_ORDER_INTEL, ImageOrientation::Down},
                          Case{9, EXIF_BYTE_ORDER_INTEL, ImageOrientation::Up}}) {
        const fs::path path = write("o" + std::to_string(c.value) + ".jpg",
                                    withExifOrientation(jpeg, c.value, c.order));
        const auto image = Image::contentsOfFile(path);
        ASSERT_TRUE(image) << c.value;
        EXPECT_EQ(image->orientation(), c.want) << c.value;
        EXPECT_EQ(image->pixelWidth(), 40);
        EXPECT_EQ(image->pixelHeight(), 24);
        EXPECT_LE(maxDifference(*original, *image), 8);
        const bool turned = c.want == ImageOrientation::Right || c.want == ImageOrientation::Left;
        EXPECT_EQ(image->size(), turned ? (platform::Size{24, 40}) : (platform::Size{40, 24}));
    }

    // A damaged EXIF block (its byte-order mark and IFD offset overwritten) leaves the
    // picture readable with the plain flag.
    auto broken = withExifOrientation(jpeg, 6, EXIF_BYTE_ORDER_INTEL);
    for (int i = 12; i < 20; ++i)
        broken[i] = 0x5a;
    const auto image = Image::fromEncodedData(broken.data(), broken.size());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->orientation(), ImageOrientation::Up);
}

TEST_F(ImageFiles, AnythingButAWholeReasonablePictureGivesNoPicture) {
    EXPECT_EQ(Image::contentsOfFile(dir_ / "absent.png"), nullptr);
    EXPECT_EQ(Image::contentsOfFile(dir_), nullptr);
    EXPECT_EQ(Image::contentsOfFile(write("empty.jpg", {})), nullptr);
    std::vector<std::uint8_t> garbage(5000);
    std::mt19937 random(3);
    for (auto& b : garbage)
        b = std::uint8_t(random());
    EXPECT_EQ(Image::contentsOfFile(write("garbage.jpg", garbage)), nullptr);
    garbage[0] = 0xff, garbage[1] = 0xd8, garbage[2] = 0xff; // a JPEG start, then noise
    EXPECT_EQ(Image::contentsOfFile(write("noise.jpg", garbage)), nullptr);
    EXPECT_EQ(Image::contentsOfFile(write("text.png", {'h', 'e', 'l', 'l', 'o'})), nullptr);

    const auto source = photo(64, 64);
    auto jpeg = source->jpegData(0.8);
    jpeg.resize(jpeg.size() / 2);
    EXPECT_EQ(Image::contentsOfFile(write("half.jpg", jpeg)), nullptr);
    ASSERT_TRUE(source->writePng(dir_ / "whole.png"));
    auto png = read(dir_ / "whole.png");
    png.resize(png.size() / 2);
    EXPECT_EQ(Image::contentsOfFile(write("half.png", png)), nullptr);
}

TEST_F(ImageFiles, HeadersClaimingHugePicturesAreRefusedBeforeDecoding) {
    // 20000 × 20000 is 400 megapixels: the header alone must decide.
    std::vector<std::uint8_t> png = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                     13,   'I',  'H', 'D', 'R',  0,    0,    0x4e, 0x20, 0, 0,
                                     0x4e, 0x20, 8,   6,   0,    0,    0,    0,    0,    0, 0};
    EXPECT_EQ(Image::contentsOfFile(write("huge.png", png)), nullptr);

    auto jpeg = photo(16, 16)->jpegData(0.8);
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) { // frame header: height, width at +5
            jpeg[i + 5] = 0xea, jpeg[i + 6] = 0x60;   // 60000
            jpeg[i + 7] = 0xea, jpeg[i + 8] = 0x60;
            break;
        }
    EXPECT_EQ(Image::fromEncodedData(jpeg.data(), jpeg.size()), nullptr);
}

TEST(Image, CutIsClippedToTheBitmapAndEmptyCutsAreNoPicture) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            px.push_back(pack(x, y, 0));
    const auto image = Image::fromPixels(8, 6, px, ImageOrientation::Right);

    const auto corner = image->cropped({-5, -5, 10, 10});
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->pixelWidth(), 5);
    EXPECT_EQ(corner->pixelHeight(), 5);
    EXPECT_EQ(corner->orientation(), ImageOrientation::Up);
    EXPECT_EQ(corner->pixel(4, 4), pack(4, 4, 0));

    const auto inner = image->cropped({6, 4, 10, 10});
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->size(), (platform::Size{2, 2}));
    EXPECT_EQ(inner->pixel(0, 0), pack(6, 4, 0));

    const auto fractional = image->cropped({1.5, 1.5, 2, 2}); // touches columns and rows 1..3
    ASSERT_TRUE(fractional);
    EXPECT_EQ(fractional->size(), (platform::Size{3, 3}));
    EXPECT_EQ(fractional->pixel(0, 0), pack(1, 1, 0));

    EXPECT_EQ(image->cropped({8, 0, 3, 3}), nullptr);
    EXPECT_EQ(image->cropped({-4, 0, 4, 3}), nullptr);
    EXPECT_EQ(image->cropped({0, 0, 0, 3}), nullptr);
    EXPECT_EQ(image->cropped({NAN, 0, 3, 3}), nullptr);
}

TEST(Image, MalformedPixelInputIsNoPicture) {
    EXPECT_EQ(Image::fromPixels(2, 2, {pack(0, 0, 0)}), nullptr);
    EXPECT_EQ(Image::fromPixels(0, 0, {}), nullptr);
    EXPECT_EQ(Image::fromSurface(nullptr), nullptr);
    EXPECT_EQ(Image::fromEncodedData(nullptr, 10), nullptr);
    const auto image = Image::fromPixels(1, 1, {pack(9, 9, 9)});
    EXPECT_EQ(image->pixel(1, 0), 0u);
    EXPECT_EQ(image->pixel(-1, 0), 0u);
}

} // namespace
