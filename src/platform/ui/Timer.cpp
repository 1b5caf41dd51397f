#include "platform/ui/Timer.h"

#include "platform/ui/RunLoop.h"

namespace platform {

std::shared_ptr<Timer> Timer::scheduledTimer(double seconds, std::function<void()> action) {
    return RunLoop::main().schedule(seconds, std::move(action));
}

Timer::Timer(Key, double fireDate, std::uint64_t sequence, std::function<void()> action)
    : fireDate_(fireDate), sequence_(sequence), action_(std::move(action)) {}

void Timer::invalidate() {
    valid_ = false;
    action_ = nullptr;
}

void Timer::fire() {
    if (!valid_)
        return;
    // Invalid before the action runs, so the action may reschedule or inspect it freely.
    valid_ = false;
    auto action = std::move(action_);
    action_ = nullptr;
    if (action)
        action();
}

} // namespace platform
