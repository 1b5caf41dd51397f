#include "platform/ui/Animator.h"

#include <algorithm>
#include <cmath>

namespace platform {

void Animator::beginTransaction() {
    stack_.emplace_back();
}

void Animator::setDuration(double seconds) {
    if (stack_.empty())
        return;
    stack_.back().duration = std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
}

void Animator::commitTransaction(double now) {
    if (stack_.empty())
        return;
    // Popped before running the changes, so a change that opens a block of its own cannot
    // disturb this one.
    Transaction transaction = std::move(stack_.back());
    stack_.pop_back();
    for (auto& start : transaction.changes)
        start(now, transaction.duration);
    if (transaction.duration > 0 && !transaction.changes.empty())
        noteAnimation(now + transaction.duration);
}

void Animator::addChange(Start start) {
    if (!stack_.empty())
        stack_.back().changes.push_back(std::move(start));
}

void Animator::noteAnimation(double endTime) {
    animatingUntil_ = std::max(animatingUntil_, endTime);
}

} // namespace platform
