#pragma once

#include "platform/graphics/JpegEncoder.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The last step of a batch of prints, on threads of its own: a print file is flushed to the
// disk before it takes its name, and a core that waited for that would make no prints
// meanwhile. Encoders go out to the makers and come back once the file they hold is written;
// each keeps its output memory from print to print. There is one for each maker and one for
// each writer, so a maker waits only when the disk falls behind, and the prints waiting for
// it stay few.
class PrintWriter {
public:
    // Called once per print handed over, from a writer thread: its photo's number and why it
    // could not be written (empty when it was).
    using Finished = std::function<void(std::size_t photo, const std::string& failure)>;

    PrintWriter(std::size_t makers, Finished finished);
    // Writes everything handed over first.
    ~PrintWriter();
    PrintWriter(const PrintWriter&) = delete;
    PrintWriter& operator=(const PrintWriter&) = delete;

    // An encoder for the next print, once one is free.
    std::unique_ptr<platform::JpegEncoder> takeEncoder();
    // An encoder whose print came to nothing.
    void giveBack(std::unique_ptr<platform::JpegEncoder> encoder);
    // Writes bytes (held by encoder) to target in place of whatever is there, then reports.
    void write(std::size_t photo, std::filesystem::path target, const std::uint8_t* bytes,
               std::size_t size, std::unique_ptr<platform::JpegEncoder> encoder);

private:
    struct Job {
        std::size_t photo;
        std::filesystem::path target;
        const std::uint8_t* bytes;
        std::size_t size;
        std::unique_ptr<platform::JpegEncoder> encoder;
    };

    void writeJobs();

    Finished finished_;
    std::mutex mutex_;
    std::condition_variable encoderFree_, jobWaiting_;
    std::vector<std::unique_ptr<platform::JpegEncoder>> free_;
    std::deque<Job> jobs_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};
