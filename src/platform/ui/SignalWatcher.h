#pragma once

#include <functional>

namespace platform {

class RunLoop;

// Turns SIGINT, SIGTERM and SIGHUP into a call on the run loop's thread. The handler only writes a
// byte to a pipe the loop watches, so nothing unsafe happens inside the signal. One watcher
// at a time; the previous handlers come back when it is destroyed.
class SignalWatcher {
public:
    SignalWatcher(RunLoop& loop, std::function<void()> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    bool isActive() const { return readFd_ >= 0; }

private:
    RunLoop& loop_;
    int readFd_ = -1;
    int writeFd_ = -1;
};

} // namespace platform
