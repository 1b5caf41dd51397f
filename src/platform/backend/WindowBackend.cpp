#include "platform/backend/WindowBackend.h"

#include "platform/backend/ScriptRunner.h"
#include "platform/backend/SdlDisplayConnection.h"
#include "platform/backend/SdlKeyMap.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/RealClock.h"
#include "platform/ui/RunLoop.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <vector>

namespace platform {

namespace {

constexpr const char* kTitle = "Morvane";
// Seconds between pictures while something moves.
constexpr double kFrame = RunLoop::kFrameInterval;
// The longest the window sleeps when nothing is due (seconds). Work posted from another
// thread wakes the loop but not the window, so this bounds how late its result is drawn.
constexpr double kIdleWait = 0.5;
// Times this close (seconds) count as reached, so a frame due a hair from now is not missed
// by a wait that rounds down.
constexpr double kSlack = 1e-4;
// Wakes from the display socket in a row that bring no event before the socket is no longer
// trusted to mean input (the window then looks for input once a frame instead).
constexpr int kQuietWakeLimit = 64;
// The largest window icon side, in pixels: icons are shown small, and a big one only makes
// a large property on the display server.
constexpr int kIconSide = 128;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::string formatScale(double scale) {
    std::ostringstream text;
    text << scale;
    return text.str();
}

bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

struct WindowBackend::Sdl {
    bool videoStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    std::unique_ptr<SdlDisplayConnection> connection;
};

WindowBackend::WindowBackend(double scale, std::optional<Script> script)
    : scale_(scale), script_(std::move(script)), clock_(std::make_shared<RealClock>()),
      sdl_(std::make_unique<Sdl>()) {}

WindowBackend::~WindowBackend() {
    destroy();
}

bool WindowBackend::displayAvailable(std::string& message) {
    if (environmentSet("DISPLAY") || environmentSet("WAYLAND_DISPLAY") ||
        environmentSet("SDL_VIDEODRIVER"))
        return true;
    message = "morvane: no display (DISPLAY/WAYLAND_DISPLAY unset); try --headless";
    return false;
}

std::shared_ptr<Clock> WindowBackend::clock() {
    return clock_;
}

bool WindowBackend::isOpen() const {
    return sdl_->window != nullptr;
}

bool WindowBackend::open(Application& app, std::string& error) {
    if (isOpen())
        return true;
    if (!std::isfinite(scale_) || scale_ < kMinScale || scale_ > kMaxScale) {
        error = "morvane: --scale must be between " + formatScale(kMinScale) + " and " +
                formatScale(kMaxScale) + " (window pixels per point), not " + formatScale(scale_);
        return false;
    }
    if (!displayAvailable(error))
        return false;

    // The application watches SIGINT and SIGTERM itself, and quits through its run loop.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A camera is not a game: the desktop's screen saver and compositor stay as they are.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, kTitle);
    // The click that brings the window to the front also presses what is under it, as a
    // finger on a touch screen would.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error =
            std::string("morvane: cannot open a window (") + SDL_GetError() + "); try --headless";
        return false;
    }
    sdl_->videoStarted = true;

    double width = std::round(Application::kScreenWidth * scale_);
    double height = std::round(Application::kScreenHeight * scale_);
    // A window taller than the desktop would be cut off; shrunk to fit, the screen is drawn
    // at the scale that fits instead.
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
        const double fit = std::min({1.0, usable.w / width, usable.h / height});
        width = std::floor(width * fit);
        height = std::floor(height * fit);
    }
    sdl_->window =
        SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         static_cast<int>(width), static_cast<int>(height),
                         SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN);
    if (sdl_->window)
        sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_ACCELERATED);
    if (sdl_->window && !sdl_->renderer)
        sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl_->window || !sdl_->renderer) {
        error =
            std::string("morvane: cannot open a window (") + SDL_GetError() + "); try --headless";
        destroy();
        return false;
    }
    SDL_SetWindowMinimumSize(sdl_->window, 80, 120);
    setIcon();
    updateLayout();
    sdl_->connection = std::make_unique<SdlDisplayConnection>(sdl_->window);
    watchDisplay(app.runLoop());
    visible_ = true;
    layoutChanged_ = true;
    touching_ = false;
    picturesDrawn_ = 0;
    return true;
}

void WindowBackend::setIcon() {
    const auto path = Bundle::main().pathForResource("icon", "png");
    if (!path)
        return;
    ImageRef icon = Image::contentsOfFile(*path);
    if (!icon)
        return;
    const Size size = icon->size();
    if (size.width > kIconSide || size.height > kIconSide) {
        const double shrink = kIconSide / std::max(size.width, size.height);
        ImageContext context(
            Size{std::round(size.width * shrink), std::round(size.height * shrink)});
        context.drawImageUpright(
            Rect{0, 0, std::round(size.width * shrink), std::round(size.height * shrink)}, *icon);
        icon = context.makeImage();
    } else if (icon->orientation() != ImageOrientation::Up) {
        ImageContext context(size);
        context.drawImageUpright(Rect{{0, 0}, size}, *icon);
        icon = context.makeImage();
    }
    if (!icon)
        return;
    // Window icons are straight alpha; pictures here are premultiplied.
    const int w = icon->pixelWidth();
    const int h = icon->pixelHeight();
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = icon->pixel(x, y);
            const std::uint32_t a = p >> 24;
            auto straight = [a](std::uint32_t c) {
                return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
            };
            argb[static_cast<std::size_t>(y) * w + x] =
                (a << 24) | (straight((p >> 16) & 0xff) << 16) | (straight((p >> 8) & 0xff) << 8) |
                straight(p & 0xff);
        }
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(sdl_->window, surface);
    SDL_FreeSurface(surface);
}

void WindowBackend::watchDisplay(RunLoop& loop) {
    const int fd = sdl_->connection ? sdl_->connection->fileDescriptor() : -1;
    if (fd < 0)
        return;
    watchedLoop_ = &loop;
    quietWakes_ = 0;
    loop.watchFileDescriptor(fd, [this] {
        // SDL reads the socket itself; the loop only has to stop waiting so it can.
        displayWoke_ = true;
        if (watchedLoop_)
            watchedLoop_->stop();
    });
}

void WindowBackend::unwatchDisplay() {
    if (watchedLoop_ && sdl_->connection)
        watchedLoop_->unwatchFileDescriptor(sdl_->connection->fileDescriptor());
    watchedLoop_ = nullptr;
}

void WindowBackend::close(Application&) {
    destroy();
}

void WindowBackend::destroy() {
    unwatchDisplay();
    buzzer_.shutdown();
    sdl_->connection.reset();
    if (sdl_->texture)
        SDL_DestroyTexture(sdl_->texture);
    if (sdl_->renderer)
        SDL_DestroyRenderer(sdl_->renderer);
    if (sdl_->window)
        SDL_DestroyWindow(sdl_->window);
    sdl_->texture = nullptr;
    sdl_->renderer = nullptr;
    sdl_->window = nullptr;
    sdl_->textureWidth = sdl_->textureHeight = 0;
    if (sdl_->videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }
    sdl_->videoStarted = false;
    layout_ = WindowLayout();
}

void WindowBackend::updateLayout() {
    if (!sdl_->window)
        return;
    int windowWidth = 0, windowHeight = 0, pixelWidth = 0, pixelHeight = 0;
    SDL_GetWindowSize(sdl_->window, &windowWidth, &windowHeight);
    if (SDL_GetRendererOutputSize(sdl_->renderer, &pixelWidth, &pixelHeight) != 0) {
        pixelWidth = windowWidth;
        pixelHeight = windowHeight;
    }
    layout_ = WindowLayout(Size{double(windowWidth), double(windowHeight)},
                           Size{double(pixelWidth), double(pixelHeight)},
                           Size{Application::kScreenWidth, Application::kScreenHeight});
    layoutChanged_ = true;
}

void WindowBackend::setWindowSize(int width, int height) {
    if (sdl_->window && width > 0 && height > 0)
        SDL_SetWindowSize(sdl_->window, width, height);
}

void WindowBackend::vibrate() {
    if (!isOpen())
        return;
    const double now = clock_->now();
    shake_.start(now);
    buzzer_.play(now);
}

bool WindowBackend::isShaking() const {
    return shake_.isShaking(clock_->now());
}

// ---- Input ----

void WindowBackend::handleEvents(Application& app) {
    SDL_Event event;
    while (!app.isQuitRequested() && SDL_PollEvent(&event)) {
        ++eventsHandled_;
        handleEvent(app, event);
    }
}

void WindowBackend::cancelTouch(Application& app) {
    if (!touching_)
        return;
    touching_ = false;
    if (app.window())
        app.window()->cancelTouch();
}

void WindowBackend::handleEvent(Application& app, const SDL_Event& event) {
    // Mouse positions name a window pixel; its centre is where the finger is.
    auto screenPoint = [this](int x, int y) {
        return layout_.screenPointFromWindow(Point{x + 0.5, y + 0.5});
    };
    switch (event.type) {
    case SDL_QUIT:
        app.quit();
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            app.quit();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            updateLayout();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            needsRender_ = true;
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            visible_ = false;
            cancelTouch(app);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            visible_ = true;
            updateLayout();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // The button's release may never come to a window that lost the focus.
            cancelTouch(app);
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
        // One press, one shortcut: a held key does not fire the shutter again and again.
        if (event.key.repeat)
            break;
        if (auto name = SdlKeyMap::shortcutName(event.key.keysym.sym, event.key.keysym.mod))
            app.key(*name);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button != SDL_BUTTON_LEFT)
            break;
        // A press on a bar beside the screen touches nothing.
        if (!layout_.isOnScreen(Point{event.button.x + 0.5, event.button.y + 0.5}))
            break;
        touching_ = true;
        app.touchDown(screenPoint(event.button.x, event.button.y));
        break;
    case SDL_MOUSEMOTION:
        // A drag that leaves the screen goes on, as a finger sliding off the glass does
        // until it is lifted.
        if (touching_)
            app.touchMove(screenPoint(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT || !touching_)
            break;
        touching_ = false;
        app.touchUp(screenPoint(event.button.x, event.button.y));
        break;
    default:
        break;
    }
}

// ---- Drawing ----

bool WindowBackend::wantsPicture(Application& app) const {
    return visible_ && !layout_.screenRect().isEmpty() && (layoutChanged_ || app.needsDisplay());
}

void WindowBackend::drawPicture(Application& app) {
    // Cleared first: a view that marks the screen while it is being drawn is drawn again at
    // the next frame rather than forgotten.
    if (app.window())
        app.window()->clearNeedsDisplay();
    layoutChanged_ = false;
    ++picturesDrawn_;
    const ImageRef picture = app.snapshot(layout_.drawScale());
    if (!picture)
        return;
    const int w = picture->pixelWidth();
    const int h = picture->pixelHeight();
    if (!sdl_->texture || sdl_->textureWidth != w || sdl_->textureHeight != h) {
        if (sdl_->texture)
            SDL_DestroyTexture(sdl_->texture);
        sdl_->texture = SDL_CreateTexture(sdl_->renderer, SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, w, h);
        sdl_->textureWidth = sdl_->texture ? w : 0;
        sdl_->textureHeight = sdl_->texture ? h : 0;
        if (!sdl_->texture)
            return;
        // The picture is drawn over black, so it is opaque: copy it, do not blend it.
        SDL_SetTextureBlendMode(sdl_->texture, SDL_BLENDMODE_NONE);
    }
    // One to one at the display scale keeps every edge on a pixel; only a picture that had
    // to be drawn smaller than the window is smoothed on its way up.
    const Rect target = layout_.screenRect();
    const bool exact = target.width() == w && target.height() == h;
    SDL_SetTextureScaleMode(sdl_->texture, exact ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_UpdateTexture(sdl_->texture, nullptr, picture->data(), picture->stride());
}

void WindowBackend::render(double now) {
    SDL_SetRenderDrawColor(sdl_->renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl_->renderer);
    renderedOffset_ = shake_.offset(now);
    const Rect target = layout_.screenRect();
    if (!sdl_->texture || target.isEmpty())
        return;
    const double pixelsPerPoint = target.width() / Application::kScreenWidth;
    const SDL_Rect destination{
        static_cast<int>(target.x() + std::round(renderedOffset_.x * pixelsPerPoint)),
        static_cast<int>(target.y() + std::round(renderedOffset_.y * pixelsPerPoint)),
        static_cast<int>(target.width()), static_cast<int>(target.height())};
    SDL_RenderCopy(sdl_->renderer, sdl_->texture, nullptr, &destination);
}

void WindowBackend::present(double now) {
    render(now);
    SDL_RenderPresent(sdl_->renderer);
    lastRender_ = now;
    needsRender_ = false;
}

ImageRef WindowBackend::windowPixels() {
    if (!isOpen())
        return nullptr;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(sdl_->renderer, &w, &h) != 0 || w <= 0 || h <= 0)
        return nullptr;
    render(clock_->now());
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    if (SDL_RenderReadPixels(sdl_->renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                             w * 4) != 0)
        return nullptr;
    // The window is opaque, so its pixels are premultiplied as they are.
    for (auto& p : argb)
        p |= 0xff000000u;
    return Image::fromPixels(w, h, argb);
}

// ---- The loop ----

double WindowBackend::nextWake(Application& app, const ScriptRunner* runner, double now) {
    RunLoop& loop = app.runLoop();
    double wake = loop.nextEventTime();
    if (runner && !runner->isFinished())
        wake = std::min(wake, runner->nextStepTime());
    if (wantsPicture(app))
        wake = std::min(wake, lastPicture_ + kFrame);
    // Keep moving while the picture shakes, and once more to put it back in place.
    if (shake_.isShaking(now) || renderedOffset_ != Point{})
        wake = std::min(wake, lastRender_ + kFrame);
    wake = std::min(wake, buzzer_.update(now));
    const bool hearsInput = watchedLoop_ != nullptr;
    const double longest = loop.outstandingAsyncWork() > 0 || !hearsInput ? kFrame : kIdleWait;
    return std::min(wake, now + longest);
}

int WindowBackend::run(Application& app) {
    if (!isOpen())
        return 1;
    RunLoop& loop = app.runLoop();
    // Whatever launch queued happens before the first picture and the first command.
    loop.runUntil(loop.now());
    std::unique_ptr<ScriptRunner> runner;
    if (script_) {
        runner = std::make_unique<ScriptRunner>(*script_);
        runner->start(loop.now());
    }
    bool shown = false;
    int status = 0;
    while (!app.isQuitRequested()) {
        eventsHandled_ = 0;
        handleEvents(app);
        if (displayWoke_ && eventsHandled_ == 0) {
            if (++quietWakes_ >= kQuietWakeLimit)
                unwatchDisplay();
        } else if (eventsHandled_ > 0) {
            quietWakes_ = 0;
        }
        displayWoke_ = false;
        if (app.isQuitRequested())
            break;

        if (runner) {
            while (!runner->isFinished() && !app.isQuitRequested() &&
                   loop.now() >= runner->nextStepTime() - kSlack) {
                runner->step(app);
                // What the step set off at this moment settles before the next step.
                loop.runUntil(loop.now());
            }
            if (runner->failed()) {
                std::fprintf(stderr, "%s\n", runner->failure().c_str());
                status = 1;
            }
            if (runner->isFinished()) {
                app.quit();
                break;
            }
        }

        loop.runUntil(loop.now());
        if (app.isQuitRequested())
            break;

        double now = loop.now();
        if (wantsPicture(app) && now >= lastPicture_ + kFrame - kSlack) {
            drawPicture(app);
            lastPicture_ = now;
            needsRender_ = true;
        }
        const bool shaking = shake_.isShaking(now) || renderedOffset_ != Point{};
        if (needsRender_ || (shaking && now >= lastRender_ + kFrame - kSlack))
            present(now);
        if (!shown) {
            // Shown only with its first picture, so it never flashes an empty frame.
            SDL_ShowWindow(sdl_->window);
            shown = true;
        }

        now = loop.now();
        const double wake = nextWake(app, runner.get(), now);
        // Input that arrived while drawing may already sit in the display library's queue,
        // where the socket no longer shows it: take it before sleeping.
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT))
            continue;
        if (wake > now + kSlack)
            loop.runUntil(wake);
    }
    cancelTouch(app);
    return status;
}

} // namespace platform
