#pragma once

#include "platform/ui/Application.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace pickertest {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A fresh folder that is the camera's home (and so holds its photo library and album) while
// the object lives.
class TemporaryHome {
public:
    explicit TemporaryHome(const std::string& tag)
        : path_(std::filesystem::temp_directory_path() /
                ("morvane-" + tag + "-" + std::to_string(::getpid()))),
          env_("MORVANE_HOME", path_.string()) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "Pictures");
    }
    ~TemporaryHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path pictures() const { return path_ / "Pictures"; }

private:
    std::filesystem::path path_;
    ScopedEnv env_;
};

// An application on a virtual clock with its window, and a finger.
struct VirtualScreen {
    std::shared_ptr<platform::VirtualClock> clock = std::make_shared<platform::VirtualClock>();
    platform::Application app{clock};
    std::shared_ptr<platform::Window> window = std::make_shared<platform::Window>();

    VirtualScreen() { app.setWindow(window); }
    platform::RunLoop& loop() { return app.runLoop(); }
    double now() { return loop().now(); }
    void run(double seconds) { loop().runFor(seconds); }
    // Lets whatever is due now happen, without moving time.
    void settle() { loop().runUntil(loop().now()); }
    void tap(platform::Point point) {
        app.touchDown(point);
        run(0.1);
        app.touchUp(point);
        settle();
    }
};

} // namespace pickertest
