#include "shell/PrintProgress.h"

#include <cstdio>

PrintProgress::PrintProgress(std::size_t total, std::ostream& out, std::ostream& err, bool terminal)
    : total_(total), out_(out), err_(err), terminal_(terminal),
      start_(std::chrono::steady_clock::now()) {}

void PrintProgress::made(const std::filesystem::path& photo, const std::filesystem::path& print) {
    std::lock_guard lock(mutex_);
    ++made_;
    if (terminal_)
        drawBar();
    else
        out_ << photo.string() << " -> " << print.string() << std::endl;
}

void PrintProgress::skipped(const std::filesystem::path& photo,
                            const std::filesystem::path& print) {
    std::lock_guard lock(mutex_);
    ++skipped_;
    if (terminal_)
        drawBar();
    else
        out_ << photo.string() << ": " << print.string() << " is already there, kept" << std::endl;
}

void PrintProgress::failed(const std::filesystem::path& photo, const std::string& reason) {
    std::lock_guard lock(mutex_);
    ++failed_;
    clearBar();
    err_ << "morvane: " << photo.string() << ": " << reason << std::endl;
    if (terminal_)
        drawBar();
}

void PrintProgress::summarize() {
    std::lock_guard lock(mutex_);
    clearBar();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", seconds > 0 ? double(made_) / seconds : 0.0);
    out_ << made_ << (made_ == 1 ? " print" : " prints") << " made, " << skipped_ << " skipped, "
         << failed_ << " failed, " << rate << " prints a second" << std::endl;
}

bool PrintProgress::anyFailed() const {
    std::lock_guard lock(mutex_);
    return failed_ > 0;
}

void PrintProgress::clearBar() {
    if (terminal_)
        out_ << "\r\033[K" << std::flush;
}

void PrintProgress::drawBar() {
    constexpr std::size_t kWidth = 30;
    const std::size_t done = made_ + skipped_ + failed_;
    const std::size_t filled = total_ ? std::min(done, total_) * kWidth / total_ : kWidth;
    out_ << "\r\033[K[" << std::string(filled, '#') << std::string(kWidth - filled, '-') << "] "
         << done << "/" << total_ << std::flush;
}
