#pragma once

#include <functional>
#include <limits>
#include <vector>

namespace platform {

// The open animation blocks and the end of the latest running animation. Owned by the run
// loop. Views report each animatable change made inside a block; the block's commit starts
// all of them together with the block's duration.
class Animator {
public:
    // The platform's duration for a block that never sets one, in seconds.
    static constexpr double kDefaultDuration = 0.2;

    // A change recorded inside a block: called at commit with the start time and duration
    // (seconds) so the view can start moving its drawn value.
    using Start = std::function<void(double start, double duration)>;

    void beginTransaction();
    // Duration, in seconds, of the innermost open block; ignored when none is open.
    void setDuration(double seconds);
    // Closes the innermost block and starts its changes at `now`; ignored when none is open.
    void commitTransaction(double now);
    bool isInTransaction() const { return !stack_.empty(); }
    void addChange(Start start);

    // Something is drawn moving until `endTime` (seconds on the loop's clock).
    void noteAnimation(double endTime);
    bool isAnimating(double now) const { return now < animatingUntil_; }
    double animatingUntil() const { return animatingUntil_; }

private:
    struct Transaction {
        double duration = kDefaultDuration;
        std::vector<Start> changes;
    };
    std::vector<Transaction> stack_;
    double animatingUntil_ = -std::numeric_limits<double>::infinity();
};

} // namespace platform
