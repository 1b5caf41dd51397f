// Hundreds of prints in a row through the camera program, headless on the virtual clock: the
// Documents directory must stay at twenty prints, and memory and descriptors must stay flat.
// A program of its own, so that its minutes of printing have a test time limit of their own.
#include "hardening/CameraHome.h"
#include "hardening/ProcessStatus.h"

#include <gtest/gtest.h>

#include <iostream>

namespace fs = std::filesystem;

namespace {

class Stress : public hardening::CameraHome {};

TEST_F(Stress, HundredsOfPrintsKeepTwentyInDocumentsAndMemoryFlat) {
#ifdef __SANITIZE_ADDRESS__
    // Under the sanitizers a print costs several times as much: a shorter run that still
    // cycles the list past twenty, without the memory comparison the sanitizers would blur.
    constexpr std::size_t kPrints = 60;
#else
    constexpr std::size_t kPrints = 500;
#endif
    constexpr std::size_t kEarly = 100;
    // A leaked descriptor per print would run into this limit long before the end.
    ProcessLimits limits;
    limits.openFiles = 32;
    auto camera = start(printsScript(kPrints), limits);
    // Peak memory and descriptors once the first hundred prints are made, then over the run.
    std::int64_t earlyPeak = 0;
    int earlyDescriptors = 0;
    int descriptors = 0;
    camera->waitUntil(
        [&] {
            descriptors = std::max(descriptors, hardening::openDescriptors(camera->pid()));
            if (earlyPeak == 0 && pictures(album()).size() >= kEarly) {
                earlyPeak = hardening::statusKilobytes("VmHWM", camera->pid());
                earlyDescriptors = descriptors;
            }
            return false;
        },
        3600);
    ASSERT_EQ(camera->wait(), 0) << camera->errors();
    EXPECT_EQ(camera->errors(), "");
    const long peak = camera->peakResidentKilobytes();

    const auto prints = list(printsFile());
    ASSERT_TRUE(prints);
    ASSERT_EQ(prints->size(), 20u);
    std::vector<fs::path> expected;
    for (std::size_t i = 0; i < prints->size(); ++i) {
        const std::string name = (*prints)[i][0].stringValue();
        expected.push_back(documents() / name);
        expected.push_back(documents() / ("big_" + name));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(pictures(documents()), expected);
    // The 40 print files, the two lists and the lock a running camera holds: nothing else.
    EXPECT_EQ(std::distance(fs::directory_iterator(documents()), fs::directory_iterator()), 43);
    EXPECT_TRUE(fs::exists(documents() / ".morvane.lock"));
    EXPECT_EQ(pictures(album()).size(), kPrints);

    std::cout << "[ figures  ] " << kPrints << " prints: peak resident " << peak / 1024
              << " MB, at most " << descriptors << " descriptors open";
    if (earlyPeak > 0) {
        std::cout << " (" << earlyPeak / 1024 << " MB and " << earlyDescriptors
                  << " descriptors after " << kEarly << ")";
    }
    std::cout << "\n";
    if (kPrints > kEarly) {
        // Five times the prints, the same memory: a print's pictures are let go when it is done.
        ASSERT_GT(earlyPeak, 0) << "the peak after " << kEarly << " prints was never read";
        EXPECT_LT(peak - earlyPeak, 24 * 1024) << earlyPeak << " kB, then " << peak << " kB";
        EXPECT_LE(descriptors, earlyDescriptors + 1);
    }
}

} // namespace
