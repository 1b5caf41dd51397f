#include "shell/PrintJobs.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kMB = 1024 * 1024;

TEST(PrintJobsTest, FreeMemoryIsReadFromTheKernelsReport) {
    const std::string meminfo = "MemTotal:       16318412 kB\n"
                                "MemFree:          812344 kB\n"
                                "MemAvailable:    9123456 kB\n"
                                "Buffers:          321000 kB\n";
    EXPECT_EQ(PrintJobs::availableIn(meminfo), std::uint64_t(9123456) * 1024);
    // Kernels before 3.14 say nothing of it: nothing is assumed.
    EXPECT_FALSE(PrintJobs::availableIn("MemTotal: 1 kB\nMemFree: 1 kB\n"));
    EXPECT_TRUE(PrintJobs::available()) << "this machine's kernel reports it";
}

TEST(PrintJobsTest, JobsAreBoundedByCoresPhotosAndMemory) {
    // Plenty of memory: a job per core, never more than photos.
    EXPECT_EQ(PrintJobs::choose(8, 100, 64 * 1024 * kMB, 100 * kMB), 8u);
    EXPECT_EQ(PrintJobs::choose(8, 3, 64 * 1024 * kMB, 100 * kMB), 3u);
    // 1 GB free, three quarters of it for the batch, 300 MB a job: two jobs.
    EXPECT_EQ(PrintJobs::choose(8, 100, 1024 * kMB, 300 * kMB), 2u);
    // Not even one fits: one still runs, as it would have alone.
    EXPECT_EQ(PrintJobs::choose(8, 100, 100 * kMB, 300 * kMB), 1u);
    // Unknown memory bounds nothing.
    EXPECT_EQ(PrintJobs::choose(4, 100, std::nullopt, 300 * kMB), 4u);
}

TEST(PrintJobsTest, AJobCostsWhatItsLargestDecodingHolds) {
    using Kind = platform::PictureHeader::Kind;
    const platform::PictureHeader small{Kind::Jpeg, 2048, 1536, 1 * kMB};
    const platform::PictureHeader bigJpeg{Kind::Jpeg, 10000, 7500, 30 * kMB};
    const platform::PictureHeader bigPng{Kind::Png, 10000, 7500, 30 * kMB};
    const std::uint64_t smallCost = PrintJobs::bytesFor(small, 1500, 1500);
    // At least the photo's own pixels, four bytes each.
    EXPECT_GE(smallCost, std::uint64_t(2048) * 1536 * 4);
    // A large JPEG is decoded reduced (to 2500 by 1875 for a 1500 square); a PNG never is.
    const std::uint64_t jpegCost = PrintJobs::bytesFor(bigJpeg, 1500, 1500);
    const std::uint64_t pngCost = PrintJobs::bytesFor(bigPng, 1500, 1500);
    EXPECT_GE(pngCost, std::uint64_t(10000) * 7500 * 4);
    EXPECT_LT(jpegCost, pngCost / 2);
    EXPECT_GE(jpegCost, std::uint64_t(2500) * 1875 * 4);
    // A photo refused before decoding costs nothing.
    EXPECT_EQ(PrintJobs::bytesFor({Kind::Png, 40000, 4, 1000}, 1500, 1500), 0u);
}

} // namespace
