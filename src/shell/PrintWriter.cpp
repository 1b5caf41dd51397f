#include "shell/PrintWriter.h"

#include "platform/foundation/FileManager.h"

PrintWriter::PrintWriter(std::size_t makers, Finished finished) : finished_(std::move(finished)) {
    makers = std::max<std::size_t>(makers, 1);
    // Writers spend nearly all their time waiting for the disk, and the disk takes several
    // flushes at once about as fast as one: twice as many writers as makers.
    const std::size_t writers = 2 * makers;
    for (std::size_t i = 0; i < makers + writers; ++i)
        free_.push_back(std::make_unique<platform::JpegEncoder>());
    for (std::size_t i = 0; i < writers; ++i)
        threads_.emplace_back([this] { writeJobs(); });
}

PrintWriter::~PrintWriter() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    jobWaiting_.notify_all();
    for (auto& thread : threads_)
        thread.join();
}

std::unique_ptr<platform::JpegEncoder> PrintWriter::takeEncoder() {
    std::unique_lock lock(mutex_);
    encoderFree_.wait(lock, [this] { return !free_.empty(); });
    auto encoder = std::move(free_.back());
    free_.pop_back();
    return encoder;
}

void PrintWriter::giveBack(std::unique_ptr<platform::JpegEncoder> encoder) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(std::move(encoder));
    }
    encoderFree_.notify_one();
}

void PrintWriter::write(std::size_t photo, std::filesystem::path target, const std::uint8_t* bytes,
                        std::size_t size, std::unique_ptr<platform::JpegEncoder> encoder) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({photo, std::move(target), bytes, size, std::move(encoder)});
    }
    jobWaiting_.notify_one();
}

void PrintWriter::writeJobs() {
    for (;;) {
        std::unique_lock lock(mutex_);
        jobWaiting_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
        if (jobs_.empty())
            return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        const bool written =
            platform::FileManager::writeAtomically(job.target, job.bytes, job.size);
        giveBack(std::move(job.encoder));
        finished_(job.photo, written ? std::string() : "cannot write " + job.target.string());
    }
}
