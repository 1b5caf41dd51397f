#include "platform/ui/SystemSound.h"

#include "platform/ui/Backend.h"

#include "PickerTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace pickertest;

namespace {

// Plays sounds while it runs and counts the vibrations that reach it.
struct ShakingBackend : Backend {
    std::shared_ptr<VirtualClock> virtualClock = std::make_shared<VirtualClock>();
    int shakes = 0;
    std::shared_ptr<Clock> clock() override { return virtualClock; }
    int run(Application&) override {
        SystemSound::play(4095);
        SystemSound::play(1005); // a sound the camera does not have
        SystemSound::play(SystemSound::kVibrate);
        return 0;
    }
    void vibrate() override { ++shakes; }
};

} // namespace

TEST(Vibration, EachVibrationIsCountedAndReachesTheRunningBackend) {
    SystemSound::play(SystemSound::kVibrate); // no application: nothing to count it
    EXPECT_EQ(SystemSound::vibrationCount(), 0);
    ShakingBackend backend;
    {
        VirtualScreen screen;
        SystemSound::play(4095); // counted, but no backend runs yet to shake
        EXPECT_EQ(screen.app.run(backend), 0);
        EXPECT_EQ(SystemSound::vibrationCount(), 3);
        EXPECT_EQ(screen.app.vibrationCount(), 3);
        SystemSound::play(4095); // after the run: counted, not shaken
        EXPECT_EQ(SystemSound::vibrationCount(), 4);
    }
    EXPECT_EQ(backend.shakes, 2);
    EXPECT_EQ(SystemSound::vibrationCount(), 0);
}
