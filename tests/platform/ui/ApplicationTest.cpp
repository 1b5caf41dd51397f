#include "platform/ui/Application.h"
#include "platform/ui/Backend.h"
#include "platform/ui/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

using namespace platform;

namespace {

struct Delegate : ApplicationDelegate {
    std::vector<std::string> log;
    std::shared_ptr<Window> window = std::make_shared<Window>();
    void applicationDidFinishLaunching(Application&) override {
        log.push_back("launch");
        window->makeKeyAndVisible();
    }
    void applicationWillTerminate(Application&) override { log.push_back("terminate"); }
};

struct Root : ViewController {
    std::vector<std::string>* log = nullptr;
    void viewDidAppear(bool animated) override {
        log->push_back(animated ? "appear animated" : "appear");
    }
};

// Runs the loop for a while, doing `during` first.
struct ScriptedBackend : Backend {
    std::shared_ptr<VirtualClock> virtualClock = std::make_shared<VirtualClock>();
    std::function<void(Application&)> during;
    int status = 0;
    std::shared_ptr<Clock> clock() override { return virtualClock; }
    int run(Application& app) override {
        app.runLoop().runUntil(app.runLoop().now());
        if (during)
            during(app);
        app.runLoop().runFor(10);
        return status;
    }
};

struct App : ::testing::Test {
    Application app;
    std::shared_ptr<Delegate> delegate = std::make_shared<Delegate>();
    std::shared_ptr<Root> root = std::make_shared<Root>();
    ScriptedBackend backend;
    void SetUp() override {
        root->log = &delegate->log;
        app.setDelegate(delegate);
        app.setRootViewController(root);
    }
};

} // namespace

TEST_F(App, LaunchesShowsTheRootViewTerminatesOnceAndReturnsTheStatus) {
    backend.status = 3;
    backend.during = [](Application& a) { a.terminate(); };
    EXPECT_EQ(&Application::shared(), &app);
    EXPECT_EQ(app.run(backend), 3);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"launch", "appear", "terminate"}));
    EXPECT_EQ(app.window(), delegate->window);
    // Launch did not add the root view, so it went to the back of the window.
    EXPECT_EQ(delegate->window->subviews().front(), root->view());
    EXPECT_DOUBLE_EQ(app.runLoop().now(), 10.0);
    EXPECT_EQ(Application::shared().delegateAs<Delegate>(), delegate);
}

TEST_F(App, ASignalQuitsLikeClosingTheWindow) {
    double quitAt = -1;
    backend.during = [&](Application& a) {
        a.runLoop().schedule(2, [] { std::raise(SIGTERM); });
        a.runLoop().runFor(5);
        quitAt = a.runLoop().now();
        EXPECT_TRUE(a.isQuitRequested());
    };
    EXPECT_EQ(app.run(backend), 0);
    EXPECT_DOUBLE_EQ(quitAt, 2.0);
    EXPECT_EQ(delegate->log.back(), "terminate");
    EXPECT_EQ(std::count(delegate->log.begin(), delegate->log.end(), "terminate"), 1);
}

TEST_F(App, KeysGoToTheHandlerAndScriptRespondersStackUp) {
    std::vector<std::string> keys;
    EXPECT_FALSE(app.key("space"));
    app.setKeyHandler([&](const std::string& k) {
        keys.push_back(k);
        return k != "m";
    });
    EXPECT_TRUE(app.key("space"));
    EXPECT_FALSE(app.key("m"));
    EXPECT_EQ(keys, (std::vector<std::string>{"space", "m"}));

    struct Responder : ScriptResponder {
        std::vector<std::string> pressed;
        bool pick(const std::filesystem::path&, std::string&) override { return true; }
        bool cancel(std::string&) override { return true; }
        bool pressAlertButton(int, std::string&) override { return true; }
        bool pressCancelKey() override {
            pressed.push_back("cancel");
            return true;
        }
        bool pressDefaultKey() override {
            pressed.push_back("default");
            return true;
        }
        bool pressOtherKey(const std::string& name) override {
            pressed.push_back(name);
            return name == "pageup";
        }
    };
    auto picker = std::make_shared<Responder>();
    auto alert = std::make_shared<Responder>();
    EXPECT_EQ(app.frontResponder(), nullptr);
    app.pushResponder(picker);
    app.pushResponder(alert);
    EXPECT_EQ(app.frontResponder(), alert);

    // Escape and Return are the front one's alone; any other key it is asked about first, and
    // what it leaves goes to the handler, never to a responder behind it.
    keys.clear();
    for (const std::string name : {"space", "escape", "return", "pageup", "ctrl+escape"})
        EXPECT_TRUE(app.key(name)) << name;
    EXPECT_EQ(alert->pressed,
              (std::vector<std::string>{"space", "cancel", "default", "pageup", "ctrl+escape"}));
    EXPECT_TRUE(picker->pressed.empty());
    EXPECT_EQ(keys, (std::vector<std::string>{"space", "ctrl+escape"}));

    app.removeResponder(alert.get());
    EXPECT_EQ(app.frontResponder(), picker);
    app.pushResponder(alert);
    alert.reset(); // gone without removing itself
    EXPECT_EQ(app.frontResponder(), picker);
    app.removeResponder(picker.get());
    keys.clear();
    EXPECT_TRUE(app.key("space"));
    EXPECT_EQ(keys, (std::vector<std::string>{"space"}));
}

TEST_F(App, SnapshotIsTheWholeScreenAtTheAskedScale) {
    auto window = std::make_shared<Window>();
    window->setBackgroundColor(Color{1, 1, 1, 1});
    window->makeKeyAndVisible();
    EXPECT_EQ(app.window(), window);
    auto shot = app.snapshot(2);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->pixelWidth(), 640);
    EXPECT_EQ(shot->pixelHeight(), 960);
    EXPECT_EQ(shot->pixel(639, 959), 0xFFFFFFFFu);
    EXPECT_EQ(app.snapshot(std::nan(""))->pixelWidth(), 320);
}

TEST(ApplicationSingleton, OnlyOneAtATime) {
    EXPECT_FALSE(Application::exists());
    EXPECT_THROW(Application::shared(), std::logic_error);
    {
        Application app;
        EXPECT_THROW(Application second, std::logic_error);
        EXPECT_TRUE(Application::exists());
        EXPECT_TRUE(app.runLoop().isMain());
    }
    EXPECT_FALSE(Application::exists());
}
