#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/VirtualClock.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

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

// A picture whose stored pixel (x, y) is colourAt(x, y), premultiplied ARGB.
inline platform::ImageRef
picture(int width, int height, const std::function<std::uint32_t(int, int)>& colourAt,
        platform::ImageOrientation flag = platform::ImageOrientation::Up) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] = colourAt(x, y);
    return platform::Image::fromPixels(width, height, pixels, flag);
}

inline platform::ImageRef solid(int width, int height, std::uint32_t argb) {
    return picture(width, height, [argb](int, int) { return argb; });
}

// Colours compared channel by channel.
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kGrey = 0xFF808080;
constexpr std::uint32_t kYellow = 0xFFFFFF00;

} // namespace pickertest
