#pragma once

#include <array>
#include <cstdio>
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

#ifdef MORVANE_PEAK_OF_CHILDREN
// Runs a shell command; the peak resident memory of the largest process it ran, in
// kilobytes, and its exit status. Measured by a small program of its own: a process forked
// from this one would start with this test program's memory in its figure.
inline long ofCommand(const std::string& command, int& exitStatus) {
    exitStatus = -1;
    char report[] = "/tmp/morvane-peak-XXXXXX";
    const int fd = ::mkstemp(report);
    if (fd < 0)
        return -1;
    ::close(fd);
    const auto quoted = [](const std::string& text) {
        std::string out = "'";
        for (const char c : text)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    std::system(
        (std::string(MORVANE_PEAK_OF_CHILDREN) + " " + quoted(report) + " " + quoted(command))
            .c_str());
    long kilobytes = -1;
    int status = -1;
    std::ifstream in(report);
    const bool read = static_cast<bool>(in >> kilobytes >> status);
    ::unlink(report);
    if (!read)
        return -1;
    exitStatus = status;
    return kilobytes;
}
#endif

} // namespace peak
