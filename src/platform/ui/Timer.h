#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class RunLoop;

// A one-shot timer. It fires once, on the run loop's thread, when the loop's clock reaches
// its fire date; after firing or invalidate() it is invalid and keeps nothing alive.
class Timer {
    struct Key {
        explicit Key() = default;
    };
    friend class RunLoop;

public:
    // Fires `action` once, `seconds` from now on the main run loop. A negative or NaN delay
    // counts as zero; an infinite one never fires.
    static std::shared_ptr<Timer> scheduledTimer(double seconds, std::function<void()> action);

    Timer(Key, double fireDate, std::uint64_t sequence, std::function<void()> action);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Stops the timer from firing and drops its action (and what the action holds).
    void invalidate();
    bool isValid() const { return valid_; }
    // The loop's clock time at which it fires, in seconds.
    double fireDate() const { return fireDate_; }

private:
    void fire();

    double fireDate_;
    std::uint64_t sequence_;
    bool valid_ = true;
    std::function<void()> action_;
};

} // namespace platform
