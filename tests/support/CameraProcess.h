#pragma once

// The built camera program run as a user runs it, in a child process of its own: the only way
// to kill it in the middle of a run, to hold it to resource limits, or to read its memory and
// descriptors from outside.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

// Resource limits the camera runs under.
struct ProcessLimits {
    // Largest file the camera may write, in bytes (RLIMIT_FSIZE); 0 for no limit. Going over
    // makes the write fail as on a full disk rather than killing the process.
    rlim_t fileBytes = 0;
    // Most descriptors the camera may hold open at once (RLIMIT_NOFILE); 0 for no limit.
    rlim_t openFiles = 0;
};

class CameraProcess {
public:
    // Starts `morvane ARGUMENTS`, its standard error going to the file `errors`.
    CameraProcess(const std::vector<std::string>& arguments, const std::filesystem::path& errors,
                  ProcessLimits limits = {})
        : errors_(errors) {
        std::vector<std::string> words = {MORVANE_BINARY};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        const std::string errorPath = errors.string();
        // Only async-signal-safe calls between fork and exec: the test runner has threads.
        pid_ = ::fork();
        if (pid_ == 0) {
            const int input = ::open("/dev/null", O_RDONLY);
            const int output = ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(input, 0);
            ::dup2(output, 1);
            ::dup2(output, 2);
            if (limits.fileBytes != 0) {
                const rlimit limit{limits.fileBytes, limits.fileBytes};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN);
            }
            if (limits.openFiles != 0) {
                const rlimit limit{limits.openFiles, limits.openFiles};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~CameraProcess() {
        if (pid_ > 0 && !finished_) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    CameraProcess(const CameraProcess&) = delete;
    CameraProcess& operator=(const CameraProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() {
        if (finished_) {
            return false;
        }
        int status = 0;
        rusage usage{};
        if (::wait4(pid_, &status, WNOHANG, &usage) == pid_) {
            record(status, usage);
        }
        return !finished_;
    }
    // Polls every few milliseconds until `done` holds or the process ends; false if it ended
    // first or `seconds` passed.
    bool waitUntil(const std::function<bool()>& done, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (done()) {
                return true;
            }
            if (!running()) {
                return done();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    void kill(int signal) { ::kill(pid_, signal); }
    // Waits for the end: the exit status, or -signal when a signal ended it.
    int wait() {
        if (!finished_) {
            int status = 0;
            rusage usage{};
            while (::wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
            }
            record(status, usage);
        }
        return result_;
    }
    // The most memory the finished process ever had resident, in kilobytes.
    long peakResidentKilobytes() const { return peakResident_; }
    std::string errors() const {
        std::ifstream in(errors_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Runs to the end and gives the exit status (or -signal).
    static int run(const std::vector<std::string>& arguments, const std::filesystem::path& errors,
                   std::string& messages, ProcessLimits limits = {}) {
        CameraProcess camera(arguments, errors, limits);
        const int status = camera.wait();
        messages = camera.errors();
        return status;
    }

private:
    void record(int status, const rusage& usage) {
        finished_ = true;
        peakResident_ = usage.ru_maxrss;
        result_ = WIFEXITED(status) ? WEXITSTATUS(status)
                                    : (WIFSIGNALED(status) ? -WTERMSIG(status) : -1);
    }

    std::filesystem::path errors_;
    pid_t pid_ = -1;
    bool finished_ = false;
    int result_ = -1;
    long peakResident_ = 0;
};
