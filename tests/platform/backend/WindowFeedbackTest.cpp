#include "platform/backend/SdlBuzzer.h"
#include "platform/backend/WindowShake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace platform;

TEST(WindowShake, JittersVisiblyForAMomentThenRestsExactlyInPlace) {
    WindowShake shake;
    EXPECT_EQ(shake.offset(0), (Point{}));
    EXPECT_FALSE(shake.isShaking(0));

    shake.start(10);
    double early = 0, late = 0;
    int sideChanges = 0;
    double previousX = 0;
    // Sampled as the window draws it, 60 times a second.
    for (int frame = 0; 10 + frame / 60.0 < shake.endTime(); ++frame) {
        const double t = 10 + frame / 60.0;
        const Point p = shake.offset(t);
        const double distance = std::hypot(p.x, p.y);
        EXPECT_LE(std::abs(p.x), WindowShake::kAmplitude + 1e-9);
        EXPECT_LE(std::abs(p.y), WindowShake::kAmplitude + 1e-9);
        double& largest = t - 10 < WindowShake::kDuration / 3 ? early : late;
        largest = std::max(largest, distance);
        if (p.x * previousX < 0)
            ++sideChanges;
        previousX = p.x;
    }
    // Big enough to see, back and forth several times, dying away.
    EXPECT_GE(early, 2.0);
    EXPECT_GE(sideChanges, 4);
    EXPECT_LT(late, early);
    EXPECT_EQ(shake.offset(shake.endTime()), (Point{}));
    EXPECT_EQ(shake.offset(11), (Point{}));

    // A second vibration during the first starts the shake afresh.
    shake.start(10.2);
    EXPECT_TRUE(shake.isShaking(10.45));
}

TEST(SdlBuzzer, IsAShortLowBuzzThatStartsAndEndsSilently) {
    for (const int rate : {22050, 44100, 48000}) {
        SCOPED_TRACE(rate);
        const auto samples = SdlBuzzer::samples(rate);
        ASSERT_EQ(samples.size(),
                  static_cast<std::size_t>(std::lround(rate * SdlBuzzer::kDuration)));
        // Rising zero crossings count the periods: about 100 Hz over 0.15 s.
        int rising = 0;
        for (std::size_t i = 1; i < samples.size(); ++i)
            if (samples[i - 1] < 0 && samples[i] >= 0)
                ++rising;
        EXPECT_NEAR(rising, SdlBuzzer::kFrequency * SdlBuzzer::kDuration, 1.5);
        // No click at either end, loud enough to hear in between, never clipping.
        EXPECT_LE(std::abs(samples.front()), 200);
        EXPECT_LE(std::abs(samples.back()), 200);
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_GT(*high, 5000);
        EXPECT_LT(*low, -5000);
        EXPECT_LT(*high, 32000);
        EXPECT_GT(*low, -32000);
    }
    EXPECT_TRUE(SdlBuzzer::samples(0).empty());
    EXPECT_TRUE(SdlBuzzer::samples(-44100).empty());
    EXPECT_TRUE(SdlBuzzer::samples(1 << 30).empty());
}
