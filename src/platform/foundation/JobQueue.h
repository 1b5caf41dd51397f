#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace platform {

// Jobs handed from the main thread to worker threads. A worker blocks in next() until there
// is a job or the queue is stopped; stopping drops the jobs no worker has taken, so their
// owners can go without waiting for work nobody will see.
template <class Job>
class JobQueue {
public:
    // Thumbnails serve the newest request first (what the user looks at now); work that must
    // keep its order takes the oldest.
    enum class Order { OldestFirst, NewestFirst };

    explicit JobQueue(Order order) : order_(order) {}

    void push(Job job) {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        wake_.notify_one();
    }

    // The next job, or nothing once the queue is stopped.
    std::optional<Job> next() {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_)
            return std::nullopt;
        std::optional<Job> job;
        if (order_ == Order::NewestFirst) {
            job.emplace(std::move(jobs_.back()));
            jobs_.pop_back();
        } else {
            job.emplace(std::move(jobs_.front()));
            jobs_.pop_front();
        }
        return job;
    }

    // The jobs no worker has taken yet, taken out of the queue.
    std::deque<Job> takeWaiting() {
        std::deque<Job> waiting;
        std::lock_guard lock(mutex_);
        waiting.swap(jobs_);
        return waiting;
    }

    std::size_t size() const {
        std::lock_guard lock(mutex_);
        return jobs_.size();
    }

    // Wakes every worker to end; jobs not taken are dropped.
    void stop() {
        std::deque<Job> dropped;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            dropped.swap(jobs_);
        }
        wake_.notify_all();
    }

private:
    const Order order_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
};

} // namespace platform
