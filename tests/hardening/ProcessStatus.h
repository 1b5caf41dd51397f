#pragma once

// Figures the kernel keeps about a process, read from /proc.

#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace hardening {

// A "kB" line of /proc/PID/status, as VmPeak (the most address space ever held) or VmHWM (the
// most memory ever resident); -1 when it cannot be read.
inline std::int64_t statusKilobytes(const std::string& field, pid_t pid = ::getpid()) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoll(line.substr(field.size() + 1));
        }
    }
    return -1;
}

// How many file descriptors the process holds open.
inline int openDescriptors(pid_t pid = ::getpid()) {
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
         !error && it != end; it.increment(error)) {
        ++count;
    }
    return count;
}

} // namespace hardening
