#include "platform/backend/WindowBackend.h"
#include "platform/backend/ScriptParser.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

// Sets or clears environment variables for one test and puts them back afterwards.
class EnvironmentOverride {
public:
    void set(const char* name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentOverride() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

struct Launch : ApplicationDelegate {
    std::function<void(Application&)> build;
    int terminations = 0;
    void applicationDidFinishLaunching(Application& app) override {
        if (build)
            build(app);
    }
    void applicationWillTerminate(Application&) override { ++terminations; }
};

std::uint32_t rgb(std::uint32_t argb) {
    return argb & 0xffffff;
}

constexpr std::uint32_t kRed = 0xff0000;
constexpr std::uint32_t kBlue = 0x0000ff;
constexpr std::uint32_t kGreen = 0x00ff00;
constexpr std::uint32_t kWhite = 0xffffff;
constexpr std::uint32_t kBlack = 0x000000;

// The window's own clock, counting how often it is read. Every pass of the window's loop
// reads the time, so the count tells a loop that sleeps from one that spins, whatever else
// the machine is doing: a loaded machine can only make it smaller.
class CountingClock : public Clock {
public:
    explicit CountingClock(std::shared_ptr<Clock> clock) : clock_(std::move(clock)) {}
    double now() const override {
        ++reads_;
        return clock_->now();
    }
    long reads() const { return reads_; }

private:
    std::shared_ptr<Clock> clock_;
    mutable std::atomic<long> reads_{0};
};

std::optional<fs::path> findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

} // namespace

TEST(WindowBackend, WithoutADisplayItSaysSoAndSuggestsHeadless) {
    EnvironmentOverride env;
    env.set("DISPLAY", nullptr);
    env.set("WAYLAND_DISPLAY", "");
    env.set("SDL_VIDEODRIVER", nullptr);
    std::string message;
    EXPECT_FALSE(WindowBackend::displayAvailable(message));
    EXPECT_EQ(message, "morvane: no display (DISPLAY/WAYLAND_DISPLAY unset); try --headless");

    Application app;
    auto launch = std::make_shared<Launch>();
    app.setDelegate(launch);
    WindowBackend backend;
    std::string error;
    EXPECT_FALSE(backend.open(app, error));
    EXPECT_EQ(error, message);
    EXPECT_FALSE(backend.isOpen());
    EXPECT_EQ(backend.windowPixels(), nullptr);
    // Vibrating a window that is not there does nothing.
    backend.vibrate();
    EXPECT_FALSE(backend.isShaking());
}

TEST(WindowBackend, ScalesOutOfRangeAreRefusedBeforeAnythingOpens) {
    Application app;
    for (const double scale : {0.0, -2.0, 0.25, 9.0, std::nan(""), HUGE_VAL}) {
        SCOPED_TRACE(scale);
        WindowBackend backend(scale);
        std::string error;
        EXPECT_FALSE(backend.open(app, error));
        EXPECT_NE(error.find("--scale must be between 0.5 and 8"), std::string::npos) << error;
        EXPECT_FALSE(backend.isOpen());
    }
}

// The real window, on a virtual X display: run by the next test in a child process under
// xvfb-run, never on its own (it needs the display that xvfb-run makes).
TEST(WindowUnderXvfb, DISABLED_Inner) {
    const char* dirText = std::getenv("MORVANE_WINDOW_TEST_DIR");
    if (!dirText)
        GTEST_SKIP() << "runs inside WindowUnderXvfb.ScriptTouchesKeysAndShots only";
    const fs::path dir(dirText);

    // A screen with edges on whole points: red top left, a lamp bottom left that a button on
    // the bottom right switches between white and green, blue elsewhere.
    Application app;
    auto launch = std::make_shared<Launch>();
    auto window = std::make_shared<Window>();
    auto lamp = std::make_shared<View>(Rect{0, 240, 160, 240});
    int presses = 0;
    launch->build = [&](Application&) {
        window->setBackgroundColor(Color{0, 0, 1, 1});
        auto red = std::make_shared<View>(Rect{0, 0, 160, 240});
        red->setBackgroundColor(Color{1, 0, 0, 1});
        window->addSubview(red);
        lamp->setBackgroundColor(Color::white());
        window->addSubview(lamp);
        auto button = std::make_shared<Button>(Rect{160, 240, 160, 240});
        button->addTarget([&] {
            ++presses;
            lamp->setBackgroundColor(presses % 2 ? Color{0, 1, 0, 1} : Color::white());
        });
        window->addSubview(button);
        window->makeKeyAndVisible();
    };
    app.setDelegate(launch);

    std::string error;
    auto script = ScriptParser::parseText("tap 240 360\n"
                                          "wait 0.3\n"
                                          "shot " +
                                              (dir / "shot.png").string() +
                                              "\n"
                                              "key c\n" // the window at twice the points
                                              "key r\n" // resized to a square
                                              "wait 0.5\n"
                                              "key l\n" // a real mouse click on the button
                                              "wait 0.3\n"
                                              "key m\n"  // the square window
                                              "key up\n" // idle from here...
                                              "wait 1\n"
                                              "key down\n" // ...to here
                                              "key space\n"
                                              "wait 0.1\n"
                                              "key n\n" // minimised...
                                              "wait 0.1\n"
                                              "key o\n" // ...and restored
                                              "wait 0.1\n"
                                              "key escape\n" // closes the window
                                              "wait 5\n"
                                              "key left\n", // only if closing did not quit
                                          error);
    ASSERT_TRUE(script) << error;
    WindowBackend backend(2, *script);

    ImageRef doubled, square;
    bool shakingAfterVibrate = false;
    bool seenWhileMinimised = true, seenAfterRestore = false;
    std::shared_ptr<CountingClock> idleClock;
    long idleReads = -1;
    int idlePictures = -1, picturesAtStart = 0;
    bool scriptWentOnAfterClosing = false;
    app.setKeyHandler([&](const std::string& name) {
        if (name == "c") {
            doubled = backend.windowPixels();
        } else if (name == "r") {
            backend.setWindowSize(400, 400);
        } else if (name == "l") {
            // Press and release through SDL's own queue, at the button's place in the
            // resized window, as the mouse would.
            const Point at = backend.layout().windowPointFromScreen({240, 360});
            SDL_Event event{};
            event.type = SDL_MOUSEBUTTONDOWN;
            event.button.button = SDL_BUTTON_LEFT;
            event.button.state = SDL_PRESSED;
            event.button.x = static_cast<int>(at.x);
            event.button.y = static_cast<int>(at.y);
            SDL_PushEvent(&event);
            event.type = SDL_MOUSEBUTTONUP;
            event.button.state = SDL_RELEASED;
            SDL_PushEvent(&event);
        } else if (name == "m") {
            square = backend.windowPixels();
        } else if (name == "up") {
            idleClock = std::make_shared<CountingClock>(backend.clock());
            app.runLoop().setClock(idleClock);
            picturesAtStart = backend.picturesDrawn();
        } else if (name == "down") {
            idleReads = idleClock ? idleClock->reads() : -1;
            app.runLoop().setClock(backend.clock());
            idlePictures = backend.picturesDrawn() - picturesAtStart;
        } else if (name == "space") {
            backend.vibrate();
            shakingAfterVibrate = backend.isShaking();
        } else if (name == "n") {
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.event = SDL_WINDOWEVENT_MINIMIZED;
            SDL_PushEvent(&event);
        } else if (name == "o") {
            seenWhileMinimised = app.window()->isScreenVisible();
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.event = SDL_WINDOWEVENT_RESTORED;
            SDL_PushEvent(&event);
        } else if (name == "escape") {
            seenAfterRestore = app.window()->isScreenVisible();
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            SDL_PushEvent(&event);
        } else if (name == "left") {
            scriptWentOnAfterClosing = true;
        }
        return true;
    });

    EXPECT_EQ(app.run(backend), 0);
    // Closing the window quit at once, before the script's last command, and terminated once.
    EXPECT_FALSE(scriptWentOnAfterClosing);
    EXPECT_EQ(launch->terminations, 1);
    EXPECT_FALSE(backend.isOpen());
    EXPECT_EQ(presses, 2);

    // Twice the points, one to one: every edge falls between two pixels, nothing blurred.
    ASSERT_TRUE(doubled);
    ASSERT_TRUE(doubled->writePng(dir / "window-doubled.png"));
    ASSERT_EQ(doubled->pixelWidth(), 640);
    ASSERT_EQ(doubled->pixelHeight(), 960);
    EXPECT_EQ(rgb(doubled->pixel(319, 100)), kRed);
    EXPECT_EQ(rgb(doubled->pixel(320, 100)), kBlue);
    EXPECT_EQ(rgb(doubled->pixel(100, 479)), kRed);
    EXPECT_EQ(rgb(doubled->pixel(100, 480)), kGreen);
    EXPECT_EQ(rgb(doubled->pixel(319, 959)), kGreen);
    EXPECT_EQ(rgb(doubled->pixel(320, 959)), kBlue);

    // A square window: the screen drawn anew at its scale, centred between black bars, and
    // the mouse found the button through the bars' offset.
    ASSERT_TRUE(square);
    ASSERT_TRUE(square->writePng(dir / "window-square.png"));
    ASSERT_EQ(square->pixelWidth(), 400);
    ASSERT_EQ(square->pixelHeight(), 400);
    // The screen is 266 by 399 pixels from x 67: no seam where it meets the bars.
    EXPECT_EQ(rgb(square->pixel(66, 10)), kBlack);
    EXPECT_EQ(rgb(square->pixel(67, 10)), kRed);
    EXPECT_EQ(rgb(square->pixel(332, 10)), kBlue);
    EXPECT_EQ(rgb(square->pixel(333, 10)), kBlack);
    EXPECT_EQ(rgb(square->pixel(332, 398)), kBlue);
    EXPECT_EQ(rgb(square->pixel(332, 399)), kBlack);
    EXPECT_EQ(rgb(square->pixel(100, 390)), kWhite);

    // An unchanging screen draws nothing and sleeps. A pass of the loop reads the clock some
    // ten to thirty times; sleeping, it passes a few times a second, and even a display that
    // keeps waking it costs a few hundred passes before the window stops listening to it. A
    // loop that never sleeps passes hundreds of thousands of times.
    EXPECT_EQ(idlePictures, 0);
    EXPECT_GT(idleReads, 0);
    EXPECT_LT(idleReads, 5000);
    EXPECT_TRUE(shakingAfterVibrate);
    // A minimised window tells the screen nobody sees it, until it is restored.
    EXPECT_FALSE(seenWhileMinimised);
    EXPECT_TRUE(seenAfterRestore);
}

TEST(WindowUnderXvfb, ScriptTouchesKeysAndShots) {
    const auto xvfbRun = findProgram("xvfb-run");
    if (!xvfbRun)
        GTEST_SKIP() << "xvfb-run is not installed; the window cannot be tried without a display";
    const fs::path dir = fs::temp_directory_path() / ("morvane-window-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path log = dir / "log.txt";
    // SDL connects to D-Bus when its video starts and leaves libdbus's process-wide state for
    // the process's end, by design (it cannot know whether others in the process use D-Bus).
    // Leak checking in sanitizer builds stays on for everything else.
    const fs::path suppressions = dir / "lsan.supp";
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";
    const char* lsanOptions = std::getenv("LSAN_OPTIONS");
    const std::string lsan = (lsanOptions && *lsanOptions ? std::string(lsanOptions) + ":" : "") +
                             "suppressions=" + suppressions.string();
    // The dummy audio driver lets the buzz run its whole course without a sound card.
    const std::string command = "LSAN_OPTIONS='" + lsan + "' MORVANE_WINDOW_TEST_DIR='" +
                                dir.string() + "' SDL_AUDIODRIVER=dummy '" + xvfbRun->string() +
                                "' -a -s '-screen 0 1280x1024x24' '" + self.string() +
                                "' --gtest_also_run_disabled_tests"
                                " --gtest_filter=WindowUnderXvfb.DISABLED_Inner > '" +
                                log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream logFile(log);
    const std::string output((std::istreambuf_iterator<char>(logFile)),
                             std::istreambuf_iterator<char>());
    ASSERT_TRUE(WIFEXITED(status)) << output;
    ASSERT_EQ(WEXITSTATUS(status), 0) << output;
    ASSERT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

    // The script's shot: the screen in points, the lamp lit by the scripted tap.
    const ImageRef shot = Image::contentsOfFile(dir / "shot.png");
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->pixelWidth(), 320);
    ASSERT_EQ(shot->pixelHeight(), 480);
    EXPECT_EQ(rgb(shot->pixel(159, 239)), kRed);
    EXPECT_EQ(rgb(shot->pixel(160, 239)), kBlue);
    EXPECT_EQ(rgb(shot->pixel(80, 360)), kGreen);
    EXPECT_EQ(rgb(shot->pixel(240, 360)), kBlue);
    EXPECT_EQ(rgb(shot->pixel(319, 479)), kBlue);
    fs::remove_all(dir);
}
