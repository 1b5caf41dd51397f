#include "platform/ui/SignalWatcher.h"

#include "platform/ui/RunLoop.h"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// The one thing a signal handler may reach: the pipe's write end.
std::atomic<int> signalPipe{-1};
struct sigaction previousInt;
struct sigaction previousTerm;
struct sigaction previousHup;

extern "C" void handleSignal(int) {
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
}

} // namespace

SignalWatcher::SignalWatcher(RunLoop& loop, std::function<void()> onSignal) : loop_(loop) {
    int fds[2];
    if (signalPipe.load() >= 0 || pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    signalPipe.store(writeFd_);
    struct sigaction action {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
    // A closed terminal or a logged-out session ends the camera as a request to quit does.
    sigaction(SIGHUP, &action, &previousHup);
    const int readFd = readFd_;
    loop_.watchFileDescriptor(readFd, [readFd, onSignal = std::move(onSignal)] {
        char buffer[64];
        while (read(readFd, buffer, sizeof buffer) > 0) {
        }
        if (onSignal)
            onSignal();
    });
}

SignalWatcher::~SignalWatcher() {
    if (readFd_ < 0)
        return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGHUP, &previousHup, nullptr);
    signalPipe.store(-1);
    loop_.unwatchFileDescriptor(readFd_);
    close(readFd_);
    close(writeFd_);
}

} // namespace platform
