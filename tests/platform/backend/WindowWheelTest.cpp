#include "platform/backend/ScriptParser.h"
#include "platform/backend/WindowBackend.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScrollView.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

// What the window saw, written by the inner run for the outer test to read.
struct Seen {
    double afterNotch = -1;
    double afterStroke = -1;
    bool fullScreen = false;
    Rect fullScreenRect;
    double afterFullScreenNotch = -1;
    double afterBarNotch = -1;
    bool windowAgain = false;
    Rect windowRect;
    // What the window told its views of the pixels a point is drawn with.
    double fullScreenPixelScale = 0;
    double windowPixelScale = 0;
};

// A wheel event as SDL queues it: whole notches from a wheel, parts of one from a touchpad;
// SDL counts up (away from the user) as positive.
void pushWheel(Point windowPoint, float down) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    event.wheel.y = static_cast<Sint32>(-down);
    event.wheel.preciseY = -down;
    event.wheel.mouseX = static_cast<int>(windowPoint.x);
    event.wheel.mouseY = static_cast<int>(windowPoint.y);
    SDL_PushEvent(&event);
}

} // namespace

// The real window on a virtual X display: run by the next test in a child process under
// xvfb-run, never on its own.
TEST(WindowWheelUnderXvfb, DISABLED_Inner) {
    const char* out = std::getenv("MORVANE_WHEEL_TEST_OUT");
    if (!out)
        GTEST_SKIP() << "runs inside WindowWheelUnderXvfb.WheelAndFullScreen only";

    Application app;
    auto window = std::make_shared<Window>();
    auto list = std::make_shared<ScrollView>(Rect{0, 0, 320, 480});
    list->setContentSize({320, 2000});
    window->addSubview(list);
    window->makeKeyAndVisible();

    std::string error;
    const auto script = ScriptParser::parseText("key a\nwait 0.2\nkey b\nwait 0.5\nkey c\nwait 1\n"
                                                "key d\nwait 0.2\nkey e\nwait 0.2\nkey f\nwait 1\n"
                                                "key g\nwait 0.5\nkey h\n",
                                                error);
    ASSERT_TRUE(script) << error;
    WindowBackend backend(2, *script);
    Seen seen;
    const auto middle = [&] { return backend.layout().windowPointFromScreen({160, 240}); };
    app.setKeyHandler([&](const std::string& name) {
        if (name == "a") {
            pushWheel(middle(), 1);
        } else if (name == "b") {
            seen.afterNotch = list->contentOffset().y;
            pushWheel(middle(), 0.5f);
        } else if (name == "c") {
            seen.afterStroke = list->contentOffset().y;
            app.toggleFullScreen();
        } else if (name == "d") {
            seen.fullScreen = backend.isFullScreen();
            seen.fullScreenRect = backend.layout().screenRect();
            pushWheel(middle(), 1);
        } else if (name == "e") {
            seen.afterFullScreenNotch = list->contentOffset().y;
            seen.fullScreenPixelScale = window->pixelScale();
            // On the black bar beside the screen: nothing is under the pointer.
            pushWheel({2, middle().y}, 1);
        } else if (name == "f") {
            seen.afterBarNotch = list->contentOffset().y;
            app.toggleFullScreen();
        } else if (name == "g") {
            seen.windowAgain = !backend.isFullScreen();
            seen.windowRect = backend.layout().screenRect();
        } else if (name == "h") {
            seen.windowPixelScale = window->pixelScale();
        }
        return true;
    });
    EXPECT_EQ(app.run(backend), 0);

    std::ofstream(out) << seen.afterNotch << " " << seen.afterStroke << " " << seen.fullScreen
                       << " " << seen.fullScreenRect.x() << " " << seen.fullScreenRect.width()
                       << " " << seen.fullScreenRect.height() << " " << seen.afterFullScreenNotch
                       << " " << seen.afterBarNotch << " " << seen.windowAgain << " "
                       << seen.windowRect.x() << " " << seen.windowRect.width() << " "
                       << seen.windowRect.height() << " " << seen.fullScreenPixelScale << " "
                       << seen.windowPixelScale << "\n";
}

TEST(WindowWheelUnderXvfb, WheelAndFullScreen) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is not installed; the window cannot be tried without a display";
    const fs::path dir = fs::temp_directory_path() / ("morvane-wheel-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "seen.txt";
    const fs::path log = dir / "log.txt";
    const fs::path suppressions = dir / "lsan.supp";
    // SDL leaves libdbus's process-wide state for the process's end, by design.
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";
    const std::string command =
        "LSAN_OPTIONS=suppressions='" + suppressions.string() + "' MORVANE_WHEEL_TEST_OUT='" +
        out.string() + "' SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1280x1024x24' '" +
        fs::read_symlink("/proc/self/exe").string() +
        "' --gtest_also_run_disabled_tests"
        " --gtest_filter=WindowWheelUnderXvfb.DISABLED_Inner > '" +
        log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream logFile(log);
    const std::string output((std::istreambuf_iterator<char>(logFile)),
                             std::istreambuf_iterator<char>());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    ASSERT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;

    std::ifstream in(out);
    Seen seen;
    double x, width, height, windowX, windowWidth, windowHeight;
    ASSERT_TRUE(in >> seen.afterNotch >> seen.afterStroke >> seen.fullScreen >> x >> width >>
                height >> seen.afterFullScreenNotch >> seen.afterBarNotch >> seen.windowAgain >>
                windowX >> windowWidth >> windowHeight >> seen.fullScreenPixelScale >>
                seen.windowPixelScale)
        << output;
    fs::remove_all(dir);

    // A notch towards the user shows what lies below; half a notch from a touchpad, half as far.
    EXPECT_DOUBLE_EQ(seen.afterNotch, ScrollView::kWheelStep);
    EXPECT_DOUBLE_EQ(seen.afterStroke, 1.5 * ScrollView::kWheelStep);
    // Full screen on the 1280 by 1024 display: the screen as tall as the display, centred
    // between bars, and the wheel still finds what lies under the pointer.
    EXPECT_TRUE(seen.fullScreen);
    // (Whole pixels on both sides: a row short of the display's height.)
    EXPECT_NEAR(height, 1024, 1);
    EXPECT_NEAR(width, height * 320.0 / 480.0, 1);
    EXPECT_NEAR(x, (1280 - width) / 2, 1);
    EXPECT_DOUBLE_EQ(seen.afterFullScreenNotch, 2.5 * ScrollView::kWheelStep);
    EXPECT_DOUBLE_EQ(seen.afterBarNotch, seen.afterFullScreenNotch);
    // F11 again: the window as it was.
    EXPECT_TRUE(seen.windowAgain);
    EXPECT_EQ(windowX, 0);
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 960);
    // Views that pick pictures by their pixels hear of each scale the screen is drawn at.
    EXPECT_DOUBLE_EQ(seen.fullScreenPixelScale, height / 480);
    EXPECT_DOUBLE_EQ(seen.windowPixelScale, 2);
}
