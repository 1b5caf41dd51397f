#include "support/TempHome.h"

#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

pid_t spawn(const std::vector<std::string>& words, const fs::path& errors,
            const std::vector<std::string>& environment = {}) {
    std::vector<std::string> copy = words;
    std::vector<char*> argv;
    for (auto& word : copy)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = environment;
    std::vector<char*> envp;
    for (auto& entry : env)
        envp.push_back(entry.data());
    const std::string errorPath = errors.string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int output = ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int input = ::open("/dev/null", O_RDONLY);
        ::dup2(input, 0);
        ::dup2(output, 1);
        ::dup2(output, 2);
        for (char* entry : envp)
            ::putenv(entry);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status, -signal, or nullopt when the process is still running after `seconds`.
std::optional<int> waitFor(pid_t pid, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

// The display server going away under the open window (stopped, or the session ended): the
// camera ends at once as closing the window ends it, says why, and has lost no print.
TEST(LostDisplay, TheCameraEndsAsAQuitDoesAndKeepsItsPrints) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed; the window cannot be tried without a display";
    TempHome home;
    // A display number of its own, away from the other window tests'.
    const std::string display = ":" + std::to_string(170 + ::getpid() % 20);
    const pid_t server = spawn({"Xvfb", display, "-screen", "0", "800x1000x24", "-nolisten", "tcp"},
                               home.root() / "xvfb.txt");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_FALSE(waitFor(server, 0).has_value()) << TempHome::readText(home.root() / "xvfb.txt");

    TempHome::writeText(home.root() / "script.txt", "wait 1\nkey space\nwait 60\n");
    TempHome::writeText(home.root() / "lsan.supp", "leak:libdbus-1.so\nleak:libX11\n");
    const fs::path errors = home.root() / "camera.txt";
    const pid_t camera =
        spawn({MORVANE_BINARY, "--camera", "scene", "--home", home.root().string(), "--script",
               (home.root() / "script.txt").string()},
              errors,
              {"DISPLAY=" + display, "SDL_AUDIODRIVER=dummy",
               "LSAN_OPTIONS=suppressions=" + (home.root() / "lsan.supp").string()});

    // Once the print is in the album, the display goes.
    const fs::path album = home.root() / "Pictures" / "Morvane";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end && !(fs::exists(album) && !fs::is_empty(album)))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(server, SIGKILL);
    ::waitpid(server, nullptr, 0);

    const auto status = waitFor(camera, 20);
    if (!status)
        ::kill(camera, SIGKILL);
    ASSERT_TRUE(status.has_value()) << "the camera hung without its display";
    EXPECT_EQ(*status, 1) << TempHome::readText(errors);
    EXPECT_NE(TempHome::readText(errors).find("connection to the display was lost"),
              std::string::npos)
        << TempHome::readText(errors);
    const auto prints = platform::PropertyList::readFile(home.documents() / "prints.plist");
    ASSERT_TRUE(prints);
    ASSERT_EQ(prints->size(), 1u);
    EXPECT_TRUE(fs::exists(home.documents() / ("big_" + (*prints)[0][0].stringValue())));
}

} // namespace
