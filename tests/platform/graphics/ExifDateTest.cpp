#include "support/DatedPhoto.h"

#include "platform/graphics/ExifDate.h"
#include "platform/graphics/ExifOrientation.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

using platform::ExifDate;

// The local wall-clock fields of a time, to compare with what a camera wrote.
std::string localText(std::chrono::system_clock::time_point time) {
    const std::time_t t = std::chrono::system_clock::to_time_t(time);
    std::tm fields{};
    localtime_r(&t, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &fields);
    return text;
}

std::vector<std::uint8_t> plainJpeg() {
    return platform::Image::fromPixels(16, 8, std::vector<std::uint32_t>(16 * 8, 0xFF808080u))
        ->jpegData(0.9);
}

TEST(ExifDateTest, TheCameraClockIsReadAsLocalTimeInEitherByteOrder) {
    for (const bool little : {true, false}) {
        const auto jpeg = dated::withDateTaken(plainJpeg(), "2019:07:14 18:30:05", little);
        const auto taken = ExifDate::read(jpeg.data(), jpeg.size());
        ASSERT_TRUE(taken) << little;
        EXPECT_EQ(localText(*taken), "2019:07:14 18:30:05");
        // The date's block leaves the orientation where it was.
        EXPECT_EQ(platform::ExifOrientation::read(jpeg.data(), jpeg.size()), 1);
    }
    // Only the file's start is needed: the block comes before the picture.
    const auto jpeg = dated::withDateTaken(plainJpeg(), "2001:01:02 03:04:05");
    EXPECT_TRUE(ExifDate::read(jpeg.data(), 100));
}

TEST(ExifDateTest, NoDateWhereThereIsNoneOrItIsNoRealDay) {
    const auto plain = plainJpeg();
    EXPECT_FALSE(ExifDate::read(plain.data(), plain.size()));
    for (const char* text : {"0000:00:00 00:00:00", "                   ", "2019:02:30 10:00:00",
                             "2019:13:01 10:00:00", "2019-07-14 18:30:05", "2019:07:14"}) {
        const auto jpeg = dated::withDateTaken(plain, text);
        EXPECT_FALSE(ExifDate::read(jpeg.data(), jpeg.size())) << text;
    }
    // Cut off inside the block.
    const auto jpeg = dated::withDateTaken(plain, "2019:07:14 18:30:05");
    EXPECT_FALSE(ExifDate::read(jpeg.data(), 40));
    EXPECT_TRUE(ExifDate::parse("2024:02:29 23:59:59", 19)) << "a leap day is a real day";
}

} // namespace
