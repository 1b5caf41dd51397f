#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"
#include "platform/ui/VirtualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace platform;

namespace {

struct VirtualLoop : ::testing::Test {
    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    RunLoop loop{clock};
    void SetUp() override { loop.makeMain(); }
};

} // namespace

TEST_F(VirtualLoop, TimersFireInDueOrderAndEqualTimesInSchedulingOrder) {
    std::vector<std::string> fired;
    std::vector<double> at;
    auto note = [&](std::string name) {
        return [&, name] {
            fired.push_back(name);
            at.push_back(loop.now());
        };
    };
    loop.schedule(2.0, note("late"));
    loop.schedule(0.5, note("first-of-two"));
    Timer::scheduledTimer(0.5, note("second-of-two"));
    loop.schedule(1.0, note("middle"));
    loop.runFor(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"first-of-two", "second-of-two", "middle", "late"}));
    EXPECT_EQ(at, (std::vector<double>{0.5, 0.5, 1.0, 2.0}));
    EXPECT_DOUBLE_EQ(loop.now(), 10.0);
}

TEST_F(VirtualLoop, TimerFiresOnceAndInvalidatedTimerNever) {
    int once = 0, never = 0;
    auto a = loop.schedule(1, [&] { ++once; });
    auto b = loop.schedule(1, [&] { ++never; });
    b->invalidate();
    loop.runFor(0.999);
    EXPECT_EQ(once, 0);
    EXPECT_TRUE(a->isValid());
    loop.runFor(5);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(never, 0);
    EXPECT_FALSE(a->isValid());
    EXPECT_FALSE(b->isValid());
}

TEST_F(VirtualLoop, ATimerMayScheduleAndCancelOthersFromItsAction) {
    std::vector<double> at;
    std::shared_ptr<Timer> doomed = loop.schedule(3, [&] { at.push_back(-1); });
    loop.schedule(1, [&] {
        at.push_back(loop.now());
        doomed->invalidate();
        loop.schedule(0, [&] { at.push_back(loop.now()); });
        loop.schedule(0.5, [&] { at.push_back(loop.now()); });
    });
    loop.runFor(10);
    EXPECT_EQ(at, (std::vector<double>{1.0, 1.0, 1.5}));
}

TEST_F(VirtualLoop, BadDelaysDoNotBreakTheLoop) {
    int fired = 0;
    loop.schedule(-5, [&] { ++fired; });
    loop.schedule(std::nan(""), [&] { ++fired; });
    auto never = loop.schedule(std::numeric_limits<double>::infinity(), [&] { fired += 100; });
    loop.runFor(1);
    EXPECT_EQ(fired, 2);
    EXPECT_TRUE(never->isValid());
    // An idle virtual loop with only a never-firing timer returns instead of spinning.
    loop.run();
    EXPECT_EQ(fired, 2);
}

TEST_F(VirtualLoop, LongWaitJumpsStraightToTheTime) {
    int fired = 0;
    loop.schedule(30, [&] { ++fired; });
    loop.runFor(30);
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(clock->now(), 30.0);
}

TEST_F(VirtualLoop, TasksPostedFromOtherThreadsRunOnTheLoopInOrder) {
    std::vector<int> got;
    const auto loopThread = std::this_thread::get_id();
    bool allOnLoop = true;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            loop.post([&, i] {
                got.push_back(i);
                allOnLoop = allOnLoop && std::this_thread::get_id() == loopThread;
            });
    });
    worker.join();
    loop.runUntil(loop.now());
    ASSERT_EQ(got.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(got[i], i);
    EXPECT_TRUE(allOnLoop);
}

TEST_F(VirtualLoop, AsyncWorkHoldsVirtualTimeUntilItsResultIsPosted) {
    double resultAt = -1, timerAt = -1;
    auto token = loop.beginAsyncWork();
    std::thread worker([&, token = std::move(token)]() mutable {
        // Real time passes on the worker; virtual time must not.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        token.finish([&] { resultAt = loop.now(); });
    });
    loop.schedule(0.01, [&] { timerAt = loop.now(); });
    loop.runFor(1);
    worker.join();
    EXPECT_DOUBLE_EQ(resultAt, 0.0);
    EXPECT_DOUBLE_EQ(timerAt, 0.01);
    EXPECT_EQ(loop.outstandingAsyncWork(), 0);
}

TEST_F(VirtualLoop, AsyncTokenDroppedWithoutResultReleasesTheLoop) {
    {
        auto token = loop.beginAsyncWork();
        EXPECT_EQ(loop.outstandingAsyncWork(), 1);
        auto moved = std::move(token);
        EXPECT_EQ(loop.outstandingAsyncWork(), 1);
    }
    EXPECT_EQ(loop.outstandingAsyncWork(), 0);
    loop.runFor(2); // must not wait forever
    EXPECT_DOUBLE_EQ(loop.now(), 2.0);
}

TEST_F(VirtualLoop, FramesComeEverySixtiethAndOnTheFinalMoment) {
    std::vector<double> frames;
    loop.addFrameHandler([&](double now) {
        frames.push_back(now);
        return frames.size() < 1000;
    });
    loop.runFor(0.1);
    // Six frames on the grid (1/60 .. 6/60 = 0.1) and no duplicate at the end.
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_NEAR(frames.front(), 1.0 / 60, 1e-9);
    EXPECT_NEAR(frames.back(), 0.1, 1e-9);
    loop.runFor(0.01);
    EXPECT_NEAR(frames.back(), 0.11, 1e-9);
}

TEST_F(VirtualLoop, AFrameHandlerReturningFalseIsDropped) {
    int calls = 0;
    loop.addFrameHandler([&](double) { return ++calls < 3; });
    loop.runFor(1);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(loop.hasFrameHandlers());
}

TEST_F(VirtualLoop, StopEndsTheCurrentRunOnly) {
    loop.schedule(1, [&] { loop.stop(); });
    int later = 0;
    loop.schedule(2, [&] { ++later; });
    loop.runFor(10);
    EXPECT_DOUBLE_EQ(loop.now(), 1.0);
    EXPECT_EQ(later, 0);
    loop.runFor(10);
    EXPECT_EQ(later, 1);
}

TEST(RunLoopClock, ChangingTheClockKeepsRemainingDelays) {
    auto first = std::make_shared<VirtualClock>(100);
    RunLoop loop(first);
    double firedAt = -1;
    loop.schedule(5, [&] { firedAt = loop.now(); });
    auto second = std::make_shared<VirtualClock>(0);
    loop.setClock(second);
    loop.runFor(10);
    EXPECT_DOUBLE_EQ(firedAt, 5.0);
}
