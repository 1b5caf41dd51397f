#include "platform/backend/SdlScreen.h"

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
    // The window shows one finished picture a frame, copied one to one: that needs no GPU,
    // and the software path spares loading a whole GL stack for it (on machines without a
    // GPU, a shader compiler and a thread per core).
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_)
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) {
        error = failure("renderer");
        close();
        return false;
    }
    SDL_SetWindowMinimumSize(window_, kMinWidth, kMinHeight);
    return true;
}

void SdlScreen::close() {
    if (texture_)
        SDL_DestroyTexture(texture_);
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    if (window_)
        SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    textureWidth_ = textureHeight_ = 0;
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
    int width = 0, height = 0;
    if (renderer_ && SDL_GetRendererOutputSize(renderer_, &width, &height) == 0)
        return Size{double(width), double(height)};
    return windowSize();
}

bool SdlScreen::setPicture(const Image& picture, bool smooth) {
    if (!renderer_)
        return false;
    const int w = picture.pixelWidth();
    const int h = picture.pixelHeight();
    if (!texture_ || textureWidth_ != w || textureHeight_ != h) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, w, h);
        textureWidth_ = texture_ ? w : 0;
        textureHeight_ = texture_ ? h : 0;
        if (!texture_)
            return false;
        // The picture is drawn over black, so it is opaque: copy it, do not blend it.
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    }
    SDL_SetTextureScaleMode(texture_, smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    return SDL_UpdateTexture(texture_, nullptr, picture.data(), picture.stride()) == 0;
}

void SdlScreen::render(const Rect& target) {
    if (!renderer_)
        return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (!texture_ || target.isEmpty())
        return;
    const SDL_Rect destination{static_cast<int>(target.x()), static_cast<int>(target.y()),
                               static_cast<int>(target.width()), static_cast<int>(target.height())};
    SDL_RenderCopy(renderer_, texture_, nullptr, &destination);
}

void SdlScreen::present() {
    if (renderer_)
        SDL_RenderPresent(renderer_);
}

ImageRef SdlScreen::readPixels() {
    if (!renderer_)
        return nullptr;
    const Size size = drawableSize();
    const int w = static_cast<int>(size.width);
    const int h = static_cast<int>(size.height);
    if (w <= 0 || h <= 0)
        return nullptr;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), w * 4) != 0)
        return nullptr;
    // The window is opaque, so its pixels are premultiplied as they are.
    for (auto& p : argb)
        p |= 0xff000000u;
    return Image::fromPixels(w, h, argb);
}

} // namespace platform
