#include "platform/camera/CaptureSize.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::optional<CaptureSize> choose(std::vector<CaptureSize> offers) {
    return chooseCaptureSize(offers);
}

} // namespace

TEST(ChooseCaptureSize, PrefersTheLargestFourByThreeInsideTheClass) {
    // A typical USB webcam's list, in the driver's order.
    const auto chosen = choose({{160, 120},
                                {320, 240},
                                {640, 480},
                                {800, 600},
                                {960, 720},
                                {1280, 720},
                                {1280, 960},
                                {1920, 1080}});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (CaptureSize{960, 720}));
    // The order of the offers makes no difference.
    EXPECT_EQ(choose({{1920, 1080}, {960, 720}, {640, 480}, {1280, 720}}), (CaptureSize{960, 720}));
}

TEST(ChooseCaptureSize, TakesWideSizesWhenTheClassHasNoFourByThree) {
    EXPECT_EQ(choose({{1920, 1080}, {1280, 720}, {848, 480}, {320, 240}}),
              (CaptureSize{1280, 720}));
}

TEST(ChooseCaptureSize, OutsideTheClassPrefersTheSmallestLargerThenTheLargestSmaller) {
    EXPECT_EQ(choose({{2592, 1944}, {1920, 1080}, {320, 240}}), (CaptureSize{1920, 1080}));
    EXPECT_EQ(choose({{160, 120}, {352, 288}, {320, 240}}), (CaptureSize{352, 288}));
    // Equal areas: the 4:3 one.
    EXPECT_EQ(choose({{1920, 1000}, {1600, 1200}}), (CaptureSize{1600, 1200}));
}

TEST(ChooseCaptureSize, JudgesPortraitSizesByTheirSides) {
    EXPECT_EQ(choose({{480, 640}, {1080, 1920}}), (CaptureSize{480, 640}));
}

TEST(ChooseCaptureSize, NearlyFourByThreeCountsAsFourByThree) {
    // Rounded to a multiple of 16, 800 by 600 becomes 800 by 608.
    EXPECT_EQ(choose({{800, 608}, {1280, 720}}), (CaptureSize{800, 608}));
}

TEST(ChooseCaptureSize, NothingUsableGivesNothing) {
    EXPECT_FALSE(choose({}));
    EXPECT_FALSE(choose({{0, 0}, {-640, 480}, {640, 0}}));
    EXPECT_EQ(choose({{0, 0}, {640, 480}}), (CaptureSize{640, 480}));
}
