#include "platform/backend/SdlScreen.h"

#include "platform/backend/SdlSurfacePresenter.h"
#include "platform/backend/SdlTexturePresenter.h"
#include "platform/graphics/ImageContext.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// The largest window icon side, in pixels: icons are shown small, and a big one only makes
// a large property on the display server.
constexpr int kIconSide = 128;
// The smallest window, in window units: still two by three pixels of screen, and a target.
constexpr int kMinWidth = 80;
constexpr int kMinHeight = 120;

std::string failure(const char* what) {
    // SDL's reason can be long: the advice keeps a line of its own.
    return std::string("morvane: cannot open a window (") + what + ": " + SDL_GetError() +
           ");\ntry --headless";
}

// The picture upright, no larger than kIconSide, with straight alpha as window icons want.
std::vector<std::uint32_t> iconPixels(const Image& icon, int& width, int& height) {
    const Size size = icon.size();
    const double shrink = std::min(1.0, kIconSide / std::max(size.width, size.height));
    const Size side{std::max(1.0, std::round(size.width * shrink)),
                    std::max(1.0, std::round(size.height * shrink))};
    ImageContext context(side);
    context.drawImageUpright(Rect{{0, 0}, side}, icon);
    const ImageRef upright = context.makeImage();
    if (!upright)
        return {};
    width = upright->pixelWidth();
    height = upright->pixelHeight();
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = upright->pixel(x, y);
            const std::uint32_t a = p >> 24;
            auto straight = [a](std::uint32_t c) {
                return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
            };
            argb[static_cast<std::size_t>(y) * width + x] =
                (a << 24) | (straight((p >> 16) & 0xff) << 16) | (straight((p >> 8) & 0xff) << 8) |
                straight(p & 0xff);
        }
    }
    return argb;
}

} // namespace

SdlScreen::SdlScreen() = default;

SdlScreen::~SdlScreen() {
    close();
}

bool SdlScreen::open(const std::string& title, int width, int height, std::string& error) {
    if (isOpen())
        return true;
    // The application watches SIGINT and SIGTERM itself, and quits through its run loop.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A camera is not a game: the desktop's screen saver and compositor stay as they are.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, title.c_str());
    // The click that brings the window to the front also presses what is under it, as a
    // finger on a touch screen would.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The window's own surface, not a GL texture standing in for it, under the software
    // renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = failure("video");
        return false;
    }
    videoStarted_ = true;

    // A window taller than the desktop would be cut off; shrunk to fit, the screen is drawn
    // at the scale that fits instead.
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
        const double fit = std::min(
            {1.0, double(usable.w) / std::max(width, 1), double(usable.h) / std::max(height, 1)});
        width = static_cast<int>(std::floor(width * fit));
        height = static_cast<int>(std::floor(height * fit));
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               std::max(width, kMinWidth), std::max(height, kMinHeight),
                               SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN);
    if (!window_) {
        error = failure("window");
        close();
        return false;
    }
    // The window's own surface where the driver has one (X11): only what changed goes to the
    // display. Elsewhere a renderer's texture, shown whole.
    presenter_ = SdlSurfacePresenter::make(window_);
    if (!presenter_)
        presenter_ = SdlTexturePresenter::make(window_);
    if (!presenter_) {
        error = failure("renderer");
        close();
        return false;
    }
    SDL_SetWindowMinimumSize(window_, kMinWidth, kMinHeight);
    return true;
}

void SdlScreen::close() {
    presenter_.reset();
    if (window_)
        SDL_DestroyWindow(window_);
    window_ = nullptr;
    windowedWidth_ = windowedHeight_ = 0;
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }
    videoStarted_ = false;
}

void SdlScreen::show() {
    if (window_)
        SDL_ShowWindow(window_);
}

void SdlScreen::resize(int width, int height) {
    if (window_ && width > 0 && height > 0)
        SDL_SetWindowSize(window_, width, height);
}

bool SdlScreen::setFullScreen(bool fullScreen) {
    if (!window_)
        return false;
    if (fullScreen && !isFullScreen())
        SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
    if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    // Without a window manager nothing gives the window its old size back.
    if (!fullScreen && windowedWidth_ > 0 && windowedHeight_ > 0)
        SDL_SetWindowSize(window_, windowedWidth_, windowedHeight_);
    return true;
}

bool SdlScreen::isFullScreen() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                          SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void SdlScreen::setIcon(const Image& icon) {
    if (!window_)
        return;
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb = iconPixels(icon, width, height);
    if (argb.empty())
        return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

Size SdlScreen::windowSize() const {
    int width = 0, height = 0;
    if (window_)
        SDL_GetWindowSize(window_, &width, &height);
    return Size{double(width), double(height)};
}

Size SdlScreen::drawableSize() const {
    return presenter_ ? presenter_->drawableSize() : windowSize();
}

bool SdlScreen::updatePicture(const std::uint8_t* pixels, int stride, int width, int height,
                              const std::vector<Rect>& boxes, bool smooth) {
    return presenter_ && presenter_->update(pixels, stride, width, height, boxes, smooth);
}

void SdlScreen::render(const Rect& target) {
    if (presenter_)
        presenter_->render(target);
}

void SdlScreen::present() {
    if (presenter_)
        presenter_->present();
}

ImageRef SdlScreen::readPixels() {
    return presenter_ ? presenter_->readPixels() : nullptr;
}

} // namespace platform
