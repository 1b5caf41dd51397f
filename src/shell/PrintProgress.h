#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <string>

// What a batch of prints tells as photos finish, from any worker: a bar on a terminal, else a
// line a photo written out at once (a log or a pipe shows how far a long batch is, and keeps
// what was done when the batch is killed), and a closing line of counts.
class PrintProgress {
public:
    PrintProgress(std::size_t total, std::ostream& out, std::ostream& err, bool terminal);

    void made(const std::filesystem::path& photo, const std::filesystem::path& print);
    // A print kept from an earlier batch.
    void skipped(const std::filesystem::path& photo, const std::filesystem::path& print);
    // Named on err with the reason.
    void failed(const std::filesystem::path& photo, const std::string& reason);

    // "12 prints made, 3 skipped, 1 failed, 8.5 prints a second": the prints made against
    // the time since the progress began.
    void summarize();

    bool anyFailed() const;

private:
    // Clears the bar on a terminal, so that a line can be written in its place.
    void clearBar();
    void drawBar();

    mutable std::mutex mutex_;
    std::size_t total_, made_ = 0, skipped_ = 0, failed_ = 0;
    std::ostream& out_;
    std::ostream& err_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
};
