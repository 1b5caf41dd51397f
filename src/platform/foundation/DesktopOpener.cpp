#include "platform/foundation/DesktopOpener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace platform {

namespace {

constexpr const char* kDefaultOpener = "xdg-open";

// The program as a path, searched in PATH when it is a bare name; empty when not found.
std::filesystem::path located(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return ::access(program.c_str(), X_OK) == 0 ? std::filesystem::path(program)
                                                    : std::filesystem::path();
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / program;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace

bool DesktopOpener::open(const std::filesystem::path& target, std::string& error) {
    std::error_code ignored;
    if (target.empty() || !std::filesystem::exists(target, ignored)) {
        error = "there is no " + target.string();
        return false;
    }
    const char* chosen = std::getenv("MORVANE_OPENER");
    const std::string program = chosen && *chosen ? chosen : kDefaultOpener;
    const std::filesystem::path opener = located(program);
    if (opener.empty()) {
        error = program == kDefaultOpener ? "xdg-open is not installed (Debian: xdg-utils)"
                                          : program + " cannot be started";
        return false;
    }
    // A shell starts the opener in the background and ends at once, so the opener is no
    // child of the camera's to wait for, however long the viewer stays open.
    const std::string script = "\"$0\" \"$1\" </dev/null >/dev/null 2>&1 &";
    const std::string openerText = opener.string(), targetText = target.string();
    char* argv[] = {const_cast<char*>("sh"),
                    const_cast<char*>("-c"),
                    const_cast<char*>(script.c_str()),
                    const_cast<char*>(openerText.c_str()),
                    const_cast<char*>(targetText.c_str()),
                    nullptr};
    pid_t shell = 0;
    if (const int failed = ::posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv, environ)) {
        error = std::string("the opener could not be started: ") + std::strerror(failed);
        return false;
    }
    int status = 0;
    while (::waitpid(shell, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

} // namespace platform
