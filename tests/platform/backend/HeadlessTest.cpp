#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/ScriptParser.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

const Color kGray{0.2, 0.2, 0.2, 1}, kRed{1, 0, 0, 1}, kGreen{0, 1, 0, 1}, kBlue{0, 0, 1, 1},
    kYellow{1, 1, 0, 1};

// A small screen: a red panel at the top, a paging strip of three coloured pages, and a
// magenta button that slides the panel 200 points down in half a second.
struct Demo : ApplicationDelegate {
    std::shared_ptr<Window> window;
    std::shared_ptr<View> panel;
    std::shared_ptr<ScrollView> strip;
    std::vector<std::string> log;
    std::shared_ptr<ScriptResponder> responder;

    static std::shared_ptr<View> box(Rect frame, Color color) {
        auto v = std::make_shared<View>(frame);
        v->setBackgroundColor(color);
        return v;
    }
    void applicationDidFinishLaunching(Application& app) override {
        log.push_back("launch");
        window = std::make_shared<Window>();
        window->setBackgroundColor(kGray);
        panel = box({0, 0, 320, 100}, kRed);
        window->addSubview(panel);
        strip = std::make_shared<ScrollView>(Rect{0, 300, 320, 100});
        strip->setContentSize({960, 100});
        strip->setPagingEnabled(true);
        const Color pages[] = {kGreen, kBlue, kYellow};
        for (int i = 0; i < 3; ++i)
            strip->addSubview(box({320.0 * i, 0, 320, 100}, pages[i]));
        window->addSubview(strip);
        auto button = std::make_shared<Button>(Rect{20, 420, 100, 40});
        button->setBackgroundImage(Image::fromPixels(1, 1, {0xFFFF00FF}));
        button->addTarget([this] {
            View::animate(
                0.5, [this] { panel->setTransform(AffineTransform::makeTranslation(0, 200)); });
        });
        window->addSubview(button);
        window->makeKeyAndVisible();
        app.setKeyHandler([this](const std::string& name) {
            log.push_back("key " + name);
            return true;
        });
        if (responder)
            app.pushResponder(responder);
    }
    void applicationWillTerminate(Application&) override { log.push_back("terminate"); }
};

struct Headless : ::testing::Test {
    fs::path dir;
    std::shared_ptr<Demo> demo = std::make_shared<Demo>();
    std::string errors;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("ui-headless-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int run(const std::string& script) {
        Application app;
        app.setDelegate(demo);
        std::istringstream input(script);
        ::testing::internal::CaptureStderr();
        const int status = HeadlessBackend::runScript(app, input);
        errors = ::testing::internal::GetCapturedStderr();
        return status;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    ImageRef shot(const std::string& name) const { return Image::contentsOfFile(dir / name); }
};

std::uint32_t rgb(const Color& c) {
    return 0xFF000000u | std::uint32_t(std::lround(c.red * 255)) << 16 |
           std::uint32_t(std::lround(c.green * 255)) << 8 |
           std::uint32_t(std::lround(c.blue * 255));
}

} // namespace

TEST_F(Headless, DemoShotsShowWhatAUserWouldSee) {
    const int status = run("shot " + path("start.png") + "\n" +
                           "tap 70 440          # the button slides the panel down\n"
                           "wait 0.25\n"
                           "shot " +
                           path("mid.png") + "\n" +
                           "wait 0.5\n"
                           "shot " +
                           path("moved.png") + "\n" +
                           "swipe 250 350 150 350\n"
                           "wait 0.5\n"
                           "shot " +
                           path("page2.png") + "\n");
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(demo->log, (std::vector<std::string>{"launch", "terminate"}));

    auto start = shot("start.png");
    ASSERT_TRUE(start);
    EXPECT_EQ(start->pixelWidth(), 320);
    EXPECT_EQ(start->pixelHeight(), 480);
    EXPECT_EQ(start->pixel(160, 50), rgb(kRed));
    EXPECT_EQ(start->pixel(160, 250), rgb(kGray));
    EXPECT_EQ(start->pixel(160, 350), rgb(kGreen));
    EXPECT_EQ(start->pixel(70, 440), 0xFFFF00FFu);

    // The action ran at the tap's release; 0.25 s later the panel is half way (100 points).
    auto mid = shot("mid.png");
    ASSERT_TRUE(mid);
    EXPECT_EQ(mid->pixel(160, 50), rgb(kGray));
    EXPECT_EQ(mid->pixel(160, 105), rgb(kRed));
    EXPECT_EQ(mid->pixel(160, 195), rgb(kRed));
    EXPECT_EQ(mid->pixel(160, 205), rgb(kGray));

    auto moved = shot("moved.png");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->pixel(160, 195), rgb(kGray));
    EXPECT_EQ(moved->pixel(160, 205), rgb(kRed));
    EXPECT_EQ(moved->pixel(160, 299), rgb(kRed));
    EXPECT_EQ(moved->pixel(160, 350), rgb(kGreen));

    // A flick of 100 points goes on exactly one page.
    auto page2 = shot("page2.png");
    ASSERT_TRUE(page2);
    EXPECT_EQ(page2->pixel(0, 350), rgb(kBlue));
    EXPECT_EQ(page2->pixel(319, 350), rgb(kBlue));
    EXPECT_DOUBLE_EQ(demo->strip->contentOffset().x, 320);
}

TEST_F(Headless, RunsRepeatExactly) {
    const std::string script =
        "tap 70 440\nwait 0.2\nswipe 300 350 200 350\nwait 0.1\nshot " + path("a.png") + "\n";
    ASSERT_EQ(run(script), 0) << errors;
    fs::rename(dir / "a.png", dir / "first.png");
    demo = std::make_shared<Demo>();
    ASSERT_EQ(run(script), 0) << errors;
    auto first = shot("first.png"), second = shot("a.png");
    ASSERT_TRUE(first && second);
    int differing = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 320; ++x)
            differing += first->pixel(x, y) != second->pixel(x, y);
    EXPECT_EQ(differing, 0);
    // And the strip was caught mid-settle, with both pages partly in view.
    EXPECT_EQ(first->pixel(0, 350), rgb(kGreen));
    EXPECT_EQ(first->pixel(319, 350), rgb(kBlue));
}

TEST_F(Headless, AMalformedScriptStopsBeforeLaunchWithStatus2) {
    EXPECT_EQ(run("tap 10 10\nshot " + path("x.png") + "\nwait soon\n"), 2);
    EXPECT_EQ(errors, "script:3: 'soon' is not a number of seconds\n");
    EXPECT_TRUE(demo->log.empty());
    EXPECT_FALSE(fs::exists(dir / "x.png"));
}

TEST_F(Headless, RuntimeFailuresStopWithStatus1AfterTerminating) {
    EXPECT_EQ(run("key space\npick /tmp/photo.jpg\nshot " + path("never.png") + "\n"), 1);
    EXPECT_EQ(errors, "script:2: no picker is open\n");
    EXPECT_EQ(demo->log, (std::vector<std::string>{"launch", "key space", "terminate"}));
    EXPECT_FALSE(fs::exists(dir / "never.png"));

    demo = std::make_shared<Demo>();
    fs::create_directories(dir);
    const fs::path blocker = dir / "file";
    std::ofstream(blocker) << "x";
    EXPECT_EQ(run("wait 1\nshot " + (blocker / "inside.png").string() + "\n"), 1);
    EXPECT_EQ(errors, "script:2: cannot write " + (blocker / "inside.png").string() + "\n");
    EXPECT_EQ(demo->log.back(), "terminate");
}

TEST_F(Headless, ShotsMakeTheirFolderAndQuitEndsTheRun) {
    EXPECT_EQ(run("shot " + path("deep/er/one.png") + "\nquit\nshot " + path("two.png") + "\n"), 0);
    EXPECT_TRUE(fs::exists(dir / "deep/er/one.png"));
    EXPECT_FALSE(fs::exists(dir / "two.png"));
    EXPECT_EQ(demo->log, (std::vector<std::string>{"launch", "terminate"}));
}

TEST_F(Headless, PickersAndAlertsOnScreenAnswerTheScript) {
    struct Picker : ScriptResponder {
        std::vector<std::string> calls;
        bool pick(const fs::path& p, std::string&) override {
            calls.push_back("pick " + p.string());
            return true;
        }
        bool cancel(std::string&) override {
            calls.push_back("cancel");
            return true;
        }
        bool pressAlertButton(int index, std::string& error) override {
            error = "this is a picker, not alert " + std::to_string(index);
            return false;
        }
        bool pressCancelKey() override { return false; }
        bool pressDefaultKey() override { return false; }
    };
    auto picker = std::make_shared<Picker>();
    demo->responder = picker;
    EXPECT_EQ(run("pick /photos/a b.jpg\ncancel\nalert 1\ncancel\n"), 1);
    EXPECT_EQ(picker->calls, (std::vector<std::string>{"pick /photos/a b.jpg", "cancel"}));
    EXPECT_EQ(errors, "script:3: this is a picker, not alert 1\n");
}
