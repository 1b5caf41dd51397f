#include "platform/ui/RunLoop.h"

#include "platform/ui/RealClock.h"
#include "platform/ui/VirtualClock.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <deque>
#include <limits>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<RunLoop*> mainLoop{nullptr};

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Frame times add up sixtieths, which are not exact in binary: times this close count as
// the same moment.
constexpr double kFrameSlack = 1e-9;

} // namespace

// What worker threads share with the loop: it outlives the loop if a worker still holds a
// token, so a late post lands in a queue nobody reads rather than in freed memory.
struct RunLoop::AsyncWork::Shared {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    int outstanding = 0;
    int wakeFd = -1;

    Shared() : wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Shared() {
        if (wakeFd >= 0)
            close(wakeFd);
    }
    void wake() const {
        if (wakeFd < 0)
            return;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wakeFd, &one, sizeof one);
    }
    void drainWake() const {
        std::uint64_t count;
        if (wakeFd >= 0) [[maybe_unused]]
            const ssize_t got = read(wakeFd, &count, sizeof count);
    }
    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        wake();
    }
};

RunLoop::AsyncWork::AsyncWork(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {
    std::lock_guard lock(shared_->mutex);
    ++shared_->outstanding;
}

RunLoop::AsyncWork::AsyncWork(AsyncWork&& other) noexcept : shared_(std::move(other.shared_)) {}

RunLoop::AsyncWork& RunLoop::AsyncWork::operator=(AsyncWork&& other) noexcept {
    if (this != &other) {
        end();
        shared_ = std::move(other.shared_);
    }
    return *this;
}

RunLoop::AsyncWork::~AsyncWork() {
    end();
}

void RunLoop::AsyncWork::finish(std::function<void()> result) {
    if (!shared_)
        return;
    if (result)
        shared_->post(std::move(result));
    end();
}

void RunLoop::AsyncWork::end() {
    if (!shared_)
        return;
    {
        std::lock_guard lock(shared_->mutex);
        --shared_->outstanding;
    }
    shared_->wake();
    shared_.reset();
}

RunLoop::RunLoop(std::shared_ptr<Clock> clock) : shared_(std::make_shared<AsyncWork::Shared>()) {
    setClock(clock ? std::move(clock) : std::make_shared<RealClock>());
    RunLoop* none = nullptr;
    mainLoop.compare_exchange_strong(none, this);
}

RunLoop::~RunLoop() {
    RunLoop* self = this;
    mainLoop.compare_exchange_strong(self, nullptr);
}

RunLoop& RunLoop::main() {
    if (RunLoop* loop = mainLoop.load())
        return *loop;
    static RunLoop fallback;
    return fallback;
}

void RunLoop::makeMain() {
    mainLoop.store(this);
}

bool RunLoop::isMain() const {
    return mainLoop.load() == this;
}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
    if (!clock)
        return;
    if (clock_ && clock != clock_) {
        // Keep each timer's remaining delay and the frame phase across the change.
        const double oldNow = clock_->now();
        const double newNow = clock->now();
        decltype(timers_) rebased;
        for (auto& [key, timer] : timers_) {
            timer->fireDate_ = key.first - oldNow + newNow;
            rebased.emplace(std::make_pair(timer->fireDate_, key.second), timer);
        }
        timers_ = std::move(rebased);
        nextFrame_ = nextFrame_ - oldNow + newNow;
        lastFrame_ = newNow;
    }
    clock_ = std::move(clock);
    virtual_ = dynamic_cast<VirtualClock*>(clock_.get());
}

void RunLoop::post(std::function<void()> task) {
    if (task)
        shared_->post(std::move(task));
}

std::shared_ptr<Timer> RunLoop::schedule(double seconds, std::function<void()> action) {
    if (std::isnan(seconds) || seconds < 0)
        seconds = 0;
    const double fireDate = now() + seconds;
    auto timer =
        std::make_shared<Timer>(Timer::Key{}, fireDate, nextSequence_++, std::move(action));
    timers_.emplace(std::make_pair(fireDate, timer->sequence_), timer);
    return timer;
}

void RunLoop::addFrameHandler(FrameHandler handler) {
    if (!handler)
        return;
    if (frameHandlers_.empty()) {
        nextFrame_ = now() + kFrameInterval;
        lastFrame_ = now();
    }
    frameHandlers_.push_back(std::move(handler));
}

RunLoop::AsyncWork RunLoop::beginAsyncWork() {
    return AsyncWork(shared_);
}

int RunLoop::outstandingAsyncWork() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->outstanding;
}

bool RunLoop::waitForAsyncWork(double timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration<double>(std::max(0.0, timeoutSeconds));
    while (outstandingAsyncWork() > 0) {
        const double left =
            std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fd{shared_->wakeFd, POLLIN, 0};
        poll(&fd, 1, static_cast<int>(std::ceil(std::min(left, 0.1) * 1000)));
        shared_->drainWake();
    }
    return true;
}

void RunLoop::watchFileDescriptor(int fd, std::function<void()> onReadable) {
    if (fd >= 0 && onReadable)
        watched_[fd] = std::move(onReadable);
}

void RunLoop::unwatchFileDescriptor(int fd) {
    watched_.erase(fd);
}

bool RunLoop::hasPostedTasks() const {
    std::lock_guard lock(shared_->mutex);
    return !shared_->tasks.empty();
}

void RunLoop::processDue() {
    // Only the tasks queued so far: a task that posts another leaves it for the next turn.
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(shared_->mutex);
        tasks.swap(shared_->tasks);
    }
    for (auto& task : tasks)
        task();
    if (stopRequested_)
        return;
    fireDueTimers();
    if (stopRequested_)
        return;
    if (!frameHandlers_.empty() && now() >= nextFrame_ - kFrameSlack) {
        const double time = now();
        // Stay on the frame grid on a virtual clock so runs repeat exactly; a real clock
        // that fell behind skips the missed frames.
        nextFrame_ =
            virtual_ ? nextFrame_ + kFrameInterval : std::max(nextFrame_ + kFrameInterval, time);
        tickFrames(time);
    }
}

void RunLoop::fireDueTimers() {
    // Timers scheduled while firing wait for the next pass, so a zero-delay timer that
    // schedules another cannot starve the rest of the loop.
    const std::uint64_t limit = nextSequence_;
    const double time = now();
    for (auto it = timers_.begin(); it != timers_.end() && it->first.first <= time;) {
        if (it->first.second >= limit) {
            ++it;
            continue;
        }
        auto timer = it->second;
        timers_.erase(it);
        timer->fire();
        if (stopRequested_)
            return;
        it = timers_.begin();
    }
}

void RunLoop::tickFrames(double time) {
    lastFrame_ = time;
    // Handlers added while ticking start at the next frame.
    auto handlers = std::move(frameHandlers_);
    frameHandlers_.clear();
    std::vector<FrameHandler> kept;
    for (auto& handler : handlers)
        if (handler(time))
            kept.push_back(std::move(handler));
    for (auto& handler : frameHandlers_)
        kept.push_back(std::move(handler));
    frameHandlers_ = std::move(kept);
}

double RunLoop::nextEventTime() {
    while (!timers_.empty() && !timers_.begin()->second->isValid())
        timers_.erase(timers_.begin());
    double next = timers_.empty() ? kInfinity : timers_.begin()->first.first;
    if (!frameHandlers_.empty())
        next = std::min(next, nextFrame_);
    return next;
}

bool RunLoop::wait(double seconds) {
    std::vector<pollfd> fds;
    fds.push_back({shared_->wakeFd, POLLIN, 0});
    for (const auto& [fd, handler] : watched_)
        fds.push_back({fd, POLLIN, 0});
    timespec timeout{};
    timespec* limit = nullptr;
    if (std::isfinite(seconds)) {
        seconds = std::max(0.0, seconds);
        timeout.tv_sec = static_cast<time_t>(seconds);
        timeout.tv_nsec = static_cast<long>((seconds - std::floor(seconds)) * 1e9);
        limit = &timeout;
    }
    const int ready = ppoll(fds.data(), fds.size(), limit, nullptr);
    if (ready <= 0)
        return false;
    if (fds[0].revents)
        shared_->drainWake();
    bool handled = false;
    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (!fds[i].revents)
            continue;
        auto it = watched_.find(fds[i].fd);
        if (it == watched_.end())
            continue;
        if (fds[i].revents & (POLLERR | POLLNVAL)) {
            watched_.erase(it);
            continue;
        }
        auto handler = it->second; // the handler may unwatch itself
        handler();
        handled = true;
    }
    return handled;
}

void RunLoop::runUntil(double time) {
    if (std::isnan(time))
        return;
    for (;;) {
        processDue();
        if (stopRequested_)
            break;
        if (hasPostedTasks())
            continue;
        const double current = now();
        if (current >= time)
            break;
        const double next = std::min(time, nextEventTime());
        if (virtual_) {
            if (outstandingAsyncWork() > 0) {
                wait(kInfinity);
                continue;
            }
            if (!watched_.empty() && wait(0))
                continue;
            if (!std::isfinite(next))
                break; // nothing will ever happen: an idle virtual loop returns
            virtual_->advanceTo(next);
        } else {
            wait(next - current);
        }
    }
    // A virtual run ends on a frame, so what moves is drawn exactly where it is at `time`.
    if (virtual_ && !stopRequested_ && !frameHandlers_.empty() && lastFrame_ < now() - kFrameSlack)
        tickFrames(now());
    stopRequested_ = false;
}

void RunLoop::run() {
    runUntil(kInfinity);
}

} // namespace platform
