#pragma once

#include "platform/ui/Animator.h"
#include "platform/ui/Clock.h"
#include "platform/ui/Timer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

class VirtualClock;

// The main thread's event loop: tasks posted from any thread, one-shot timers, frame
// handlers for things that move (scroll views, spinners), and file descriptors to watch
// (the signal pipe). Time comes from a Clock; on a VirtualClock the loop jumps straight from
// one due event to the next, so a 30 second wait costs no real time.
//
// Order within one moment: posted tasks, then due timers (by fire date, equal dates in the
// order they were scheduled), then a frame.
class RunLoop {
public:
    // Frames for moving things, in seconds.
    static constexpr double kFrameInterval = 1.0 / 60.0;

    // A null clock means a RealClock. The first loop made when no loop is main becomes main.
    explicit RunLoop(std::shared_ptr<Clock> clock = nullptr);
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // The running application's loop (or the loop made main). With no loop at all, a loop on
    // the real clock made on first use, so views work outside an application.
    static RunLoop& main();
    void makeMain();
    bool isMain() const;

    // The time on the loop's clock, in seconds.
    double now() const { return clock_->now(); }
    const std::shared_ptr<Clock>& clock() const { return clock_; }
    // Replaces the clock; pending timers keep their remaining delays.
    void setClock(std::shared_ptr<Clock> clock);
    bool isVirtual() const { return virtual_ != nullptr; }

    // Runs `task` on the loop's thread at its next turn. Safe from any thread.
    void post(std::function<void()> task);

    // A one-shot timer `seconds` from now (see Timer::scheduledTimer).
    std::shared_ptr<Timer> schedule(double seconds, std::function<void()> action);

    // Calls `handler` with the clock's time once a frame while it returns true. The first
    // call comes one frame from now.
    using FrameHandler = std::function<bool(double now)>;
    void addFrameHandler(FrameHandler handler);
    bool hasFrameHandlers() const { return !frameHandlers_.empty(); }

    // Work begun on another thread whose result comes back through the loop. On a virtual
    // clock the loop really waits for all such work to finish before it moves time on, so a
    // result arrives at the virtual moment the work began. End the token after posting the
    // result (finish() does both in that order); a token dropped without a result just ends.
    class AsyncWork {
    public:
        AsyncWork() = default;
        AsyncWork(AsyncWork&& other) noexcept;
        AsyncWork& operator=(AsyncWork&& other) noexcept;
        AsyncWork(const AsyncWork&) = delete;
        AsyncWork& operator=(const AsyncWork&) = delete;
        ~AsyncWork();

        // Posts `result` to the loop, then ends the work. Safe from any thread.
        void finish(std::function<void()> result);
        void end();
        bool isActive() const { return shared_ != nullptr; }

    private:
        friend class RunLoop;
        struct Shared;
        explicit AsyncWork(std::shared_ptr<Shared> shared);
        std::shared_ptr<Shared> shared_;
    };
    AsyncWork beginAsyncWork();
    int outstandingAsyncWork() const;
    // Blocks (real time) until no async work is outstanding or the timeout passes; true when
    // none is left. Posted results stay queued.
    bool waitForAsyncWork(double timeoutSeconds);

    // Calls `onReadable` on the loop's thread when `fd` has data. One handler per fd.
    void watchFileDescriptor(int fd, std::function<void()> onReadable);
    void unwatchFileDescriptor(int fd);

    // Runs until the clock reads `time` (seconds), or until stop().
    void runUntil(double time);
    void runFor(double seconds) { runUntil(now() + seconds); }
    // Runs until stop(); on a virtual clock also returns when nothing is left to happen.
    void run();
    // Makes the current run call (or the next one) return soon. Loop thread only.
    void stop() { stopRequested_ = true; }
    // When the loop next has something of its own to do: its earliest timer or frame, in
    // seconds on its clock; infinity when nothing is scheduled. A window sleeps until then.
    double nextEventTime();

    Animator& animator() { return animator_; }

private:
    void processDue();
    void fireDueTimers();
    void tickFrames(double time);
    bool hasPostedTasks() const;
    // Waits (real time) up to `seconds` (infinite: no limit) for a post, the end of async
    // work or a watched descriptor; handles watched descriptors that became readable.
    // Returns true when a watched descriptor was handled.
    bool wait(double seconds);

    std::shared_ptr<Clock> clock_;
    VirtualClock* virtual_ = nullptr;
    std::shared_ptr<AsyncWork::Shared> shared_;
    std::map<std::pair<double, std::uint64_t>, std::shared_ptr<Timer>> timers_;
    std::uint64_t nextSequence_ = 0;
    std::vector<FrameHandler> frameHandlers_;
    double nextFrame_ = 0;
    double lastFrame_ = 0;
    std::map<int, std::function<void()>> watched_;
    bool stopRequested_ = false;
    Animator animator_;
};

} // namespace platform
