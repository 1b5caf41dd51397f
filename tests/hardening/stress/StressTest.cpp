// Hundreds of prints in a row through the camera program, headless on the virtual clock: the
// Documents directory must stay at twenty prints, and no print may keep a descriptor. A
// program of its own, so that its minutes of printing have a test time limit of their own.
// How much memory and how many descriptors such a run takes are figures that depend on the
// machine's threads and allocator, so bench_stress measures them rather than a test here.
#include "hardening/CameraHome.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class Stress : public hardening::CameraHome {};

TEST_F(Stress, HundredsOfPrintsKeepTwentyInDocumentsAndLeaveNoDescriptorBehind) {
#ifdef __SANITIZE_ADDRESS__
    // Under the sanitizers a print costs several times as much: a shorter run that still
    // cycles the list past twenty and would still run out of descriptors if each print
    // kept one.
    constexpr std::size_t kPrints = 60;
#else
    constexpr std::size_t kPrints = 500;
#endif
    // A running camera holds about a dozen descriptors; a print that kept one more would run
    // into this limit long before the end, and its saves would fail.
    ProcessLimits limits;
    limits.openFiles = 32;
    ASSERT_EQ(run(printsScript(kPrints), limits), 0) << errors_;
    EXPECT_EQ(errors_, "");

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
}

} // namespace
