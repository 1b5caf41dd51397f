// A picture read to be shown at a given size: exactly that many pixels, averaged by area,
// decoded no larger than needed, never enlarged, and its orientation kept.
#include "platform/graphics/ReducedPicture.h"
#include "PixelHelpers.h"
#include "support/AreaReference.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::Image;
using platform::ImageOrientation;
using platform::ImageRef;
using platform::ReducedPicture;
using testing_pixels::pack;

// A square with smooth gradients and hard-edged blocks, as a print has both.
ImageRef printLike(int side) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool block = (x / (side / 10) + y / (side / 10)) % 2 == 0;
            pixels[static_cast<std::size_t>(y) * side + x] =
                pack(x * 255 / side, y * 255 / side, block ? 220 : 30);
        }
    return Image::fromPixels(side, side, pixels);
}

class ReducedPictureTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("morvane-reduced-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(ReducedPictureTest, ALargeJpegIsDecodedSmallerThenAveragedToExactlyTheSizeAsked) {
    const fs::path path = dir_ / "big.jpg";
    ASSERT_TRUE(printLike(2000)->writeJpeg(path, 0.95));
    const ImageRef whole = Image::readFile(path);
    ASSERT_TRUE(whole);

    // 2000 to 500 by way of the decoder's quarter: close to averaging the whole picture. The
    // decoder's own scaling is not an exact average and differs most at hard edges, but far
    // less than a picture sampled instead of averaged (half a block's step there) or one
    // shifted by a pixel.
    const ImageRef quarter = ReducedPicture::read(path, 500, 500);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->pixelWidth(), 500);
    EXPECT_EQ(quarter->pixelHeight(), 500);
    const auto quarterDifference = differenceFromAreaAverage(*quarter, *whole);
    EXPECT_LE(quarterDifference.mean, 1.5);
    EXPECT_LE(quarterDifference.worst, 40.0);

    // A size no decoder scale gives (a full-screen row) is averaged from the half.
    const ImageRef odd = ReducedPicture::read(path, 563, 563);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->pixelWidth(), 563);
    const auto oddDifference = differenceFromAreaAverage(*odd, *whole);
    EXPECT_LE(oddDifference.mean, 1.5);
    EXPECT_LE(oddDifference.worst, 40.0);
}

TEST_F(ReducedPictureTest, APictureIsNeverEnlargedAndKeepsItsOrientation) {
    // Smaller than asked: the picture as it is, not stretched.
    const ImageRef small = printLike(300);
    EXPECT_EQ(ReducedPicture::reduce(small, 500, 500), small);

    // Stored 400 by 200 and seen turned: 100 by 200 as seen is 200 by 100 as stored.
    const ImageRef turned = Image::fromPixels(
        400, 200, std::vector<std::uint32_t>(400 * 200, pack(9, 99, 199)), ImageOrientation::Right);
    const ImageRef reduced = ReducedPicture::reduce(turned, 100, 200);
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->pixelWidth(), 200);
    EXPECT_EQ(reduced->pixelHeight(), 100);
    EXPECT_EQ(reduced->orientation(), ImageOrientation::Right);
    EXPECT_EQ(reduced->pixel(150, 50), pack(9, 99, 199));
}

TEST_F(ReducedPictureTest, AMissingOrDamagedFileGivesNoPictureAndSaysWhy) {
    std::string why;
    EXPECT_FALSE(ReducedPicture::read(dir_ / "none.jpg", 500, 500, &why));
    EXPECT_FALSE(why.empty());

    const fs::path cut = dir_ / "cut.jpg";
    ASSERT_TRUE(printLike(1000)->writeJpeg(cut, 0.9));
    fs::resize_file(cut, 200);
    why.clear();
    EXPECT_FALSE(ReducedPicture::read(cut, 500, 500, &why));
    EXPECT_FALSE(why.empty());
}

} // namespace
