#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <sys/wait.h>

namespace install_test {

namespace fs = std::filesystem;

struct CommandResult {
    int status = -1;
    // Standard output and standard error together.
    std::string output;
};

// Runs a shell command line and collects what it writes.
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
    if (!pipe)
        return result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        result.output.append(buffer, n);
    const int status = ::pclose(pipe.release());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Whether a program is on PATH, for the checks that need a validator.
inline bool haveTool(const std::string& name) {
    return runCommand("command -v " + name + " >/dev/null").status == 0;
}

// A fresh folder that goes away with the object.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "morvane-install-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            path_ = made;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The build installed with `cmake --install` into a staging tree (DESTDIR) under the /usr
// prefix, as a package build does.
class InstalledTree {
public:
    InstalledTree() {
        const std::string command = "DESTDIR=" + quoted(folder_.path()) + " " + MORVANE_CMAKE +
                                    " --install " + quoted(MORVANE_BUILD_DIR) + " --prefix /usr";
        install_ = runCommand(command);
    }

    const CommandResult& installRun() const { return install_; }
    fs::path prefix() const { return folder_.path() / "usr"; }
    fs::path program() const { return prefix() / "bin" / "morvane"; }
    fs::path share() const { return prefix() / "share"; }

private:
    TemporaryFolder folder_;
    CommandResult install_;
};

} // namespace install_test
