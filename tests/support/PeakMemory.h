#pragma once

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// How much memory a piece of work really takes, measured in a child process so that the test
// program's own memory and other tests never count, and a failed huge allocation cannot take
// the test program down.
namespace peak {

inline long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

// Runs `measure` in a forked child and hands back the two numbers it reports, or {-1, -1}
// when the child could not report.
inline std::array<long, 2> inChild(const std::function<std::array<long, 2>()>& measure) {
    std::array<long, 2> report = {-1, -1};
    int fds[2];
    if (::pipe(fds) != 0)
        return report;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::array<long, 2> measured = measure();
        [[maybe_unused]] const auto written = ::write(fds[1], measured.data(), sizeof measured);
        ::_exit(0);
    }
    ::close(fds[1]);
    if (child < 0 || ::read(fds[0], report.data(), sizeof report) != sizeof report)
        report = {-1, -1};
    ::close(fds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return report;
}

// Runs work in a forked child; the growth of its peak resident memory, in kilobytes, or -1
// when the child could not report.
inline long growthOf(const std::function<void()>& work) {
    return inChild([&] {
        const long before = statusKilobytes("VmRSS:");
        work();
        return std::array<long, 2>{statusKilobytes("VmHWM:") - before, 0};
    })[0];
}

// Runs a shell command; the peak resident memory of the largest process it ran, in
// kilobytes, and its exit status.
inline long ofCommand(const std::string& command, int& exitStatus) {
    const auto report = inChild([&] {
        const int status = std::system(command.c_str());
        rusage usage{};
        ::getrusage(RUSAGE_CHILDREN, &usage);
        return std::array<long, 2>{usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    });
    exitStatus = static_cast<int>(report[1]);
    return report[0];
}

} // namespace peak
