#include "platform/foundation/JobQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::JobQueue;

// The order a worker takes jobs in is what lets the thumbnails of the photos in view come
// first and the gallery's rows keep theirs.
TEST(JobQueue, TakesJobsInItsOrderAndHandsBackThoseNotTaken) {
    JobQueue<int> newest(JobQueue<int>::Order::NewestFirst);
    JobQueue<int> oldest(JobQueue<int>::Order::OldestFirst);
    for (int job : {1, 2, 3}) {
        newest.push(job);
        oldest.push(job);
    }
    EXPECT_EQ(newest.next(), 3);
    EXPECT_EQ(oldest.next(), 1);
    EXPECT_EQ(oldest.size(), 2u);
    const auto waiting = oldest.takeWaiting();
    EXPECT_EQ(waiting, (std::deque<int>{2, 3}));
    EXPECT_EQ(oldest.size(), 0u);
    EXPECT_EQ(newest.next(), 2);
}

// An owner going away stops its queue and joins its workers: a worker waiting for work must
// wake and end, and jobs nobody took must not be run after the stop.
TEST(JobQueue, StopWakesAWaitingWorkerAndDropsWhatWasNotTaken) {
    JobQueue<int> queue(JobQueue<int>::Order::OldestFirst);
    std::atomic<int> ran{0};
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        while (queue.next())
            ++ran;
        ended = true;
    });
    queue.push(7);
    for (int wait = 0; wait < 200 && ran == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ran, 1);
    queue.stop();
    worker.join();
    EXPECT_TRUE(ended);
    queue.push(8);
    EXPECT_FALSE(queue.next());
    EXPECT_EQ(ran, 1);
}
