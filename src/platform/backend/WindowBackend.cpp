#include "platform/backend/WindowBackend.h"

#include "platform/backend/ScriptRunner.h"
#include "platform/backend/SdlDisplayConnection.h"
#include "platform/backend/SdlKeyMap.h"
#include "platform/backend/SdlScreen.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/RealClock.h"
#include "platform/ui/RunLoop.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace platform {

namespace {

// Seconds between pictures while something moves.
constexpr double kFrame = RunLoop::kFrameInterval;
// The longest the window sleeps when nothing is due (seconds). Work posted from another
// thread wakes the loop but not the window, so this bounds how late its result is drawn.
constexpr double kIdleWait = 0.5;
// Times this close (seconds) count as reached, so a frame due a hair from now is not missed
// by a wait that rounds down.
constexpr double kSlack = 1e-4;
// Wakes from the display socket that bring no event, within one second, before the socket
// is no longer trusted to mean input (the window then looks for input once a frame
// instead). The display sends a few such messages now and then; only a socket that stays
// readable gives hundreds, and that would be a busy loop.
constexpr int kQuietWakeLimit = 200;

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

WindowBackend::WindowBackend(double scale, std::optional<Script> script)
    : scale_(scale), script_(std::move(script)), clock_(std::make_shared<RealClock>()),
      screen_(std::make_unique<SdlScreen>()) {}

WindowBackend::~WindowBackend() {
    unwatchDisplay();
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
    return screen_->isOpen();
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
    if (!screen_->open(app.name(), static_cast<int>(std::round(Application::kScreenWidth * scale_)),
                       static_cast<int>(std::round(Application::kScreenHeight * scale_)), error))
        return false;
    setIcon();
    updateLayout();
    connection_ = std::make_unique<SdlDisplayConnection>(screen_->window());
    watchDisplay(app.runLoop());
    visible_ = true;
    layoutChanged_ = true;
    touching_ = false;
    picturesDrawn_ = 0;
    return true;
}

void WindowBackend::setIcon() {
    if (const auto path = Bundle::main().pathForResource("icon", "png"))
        if (const ImageRef icon = Image::contentsOfFile(*path))
            screen_->setIcon(*icon);
}

void WindowBackend::watchDisplay(RunLoop& loop) {
    const int fd = connection_ ? connection_->fileDescriptor() : -1;
    if (fd < 0)
        return;
    watchedLoop_ = &loop;
    quietWakes_ = 0;
    quietSince_ = loop.now();
    loop.watchFileDescriptor(fd, [this] {
        // SDL reads the socket itself; the loop only has to stop waiting so it can.
        displayWoke_ = true;
        if (watchedLoop_)
            watchedLoop_->stop();
    });
}

void WindowBackend::noteQuietWake(double now) {
    if (now - quietSince_ > 1) {
        quietSince_ = now;
        quietWakes_ = 0;
    }
    if (++quietWakes_ >= kQuietWakeLimit)
        unwatchDisplay();
}

void WindowBackend::unwatchDisplay() {
    if (watchedLoop_ && connection_)
        watchedLoop_->unwatchFileDescriptor(connection_->fileDescriptor());
    watchedLoop_ = nullptr;
}

void WindowBackend::close(Application&) {
    unwatchDisplay();
    buzzer_.shutdown();
    connection_.reset();
    screen_->close();
    layout_ = WindowLayout();
}

void WindowBackend::updateLayout() {
    layout_ = WindowLayout(screen_->windowSize(), screen_->drawableSize(),
                           Size{Application::kScreenWidth, Application::kScreenHeight});
    layoutChanged_ = true;
}

void WindowBackend::setWindowSize(int width, int height) {
    screen_->resize(width, height);
}

void WindowBackend::vibrate() {
    if (!isOpen())
        return;
    const double now = clock_->now();
    shake_.start(now);
    buzzer_.play(now);
}

void WindowBackend::playSound(const std::vector<std::int16_t>& samples, int sampleRate) {
    if (isOpen())
        buzzer_.play(samples, sampleRate, clock_->now());
}

bool WindowBackend::isShaking() const {
    return shake_.isShaking(clock_->now());
}

bool WindowBackend::toggleFullScreen() {
    return isOpen() && screen_->setFullScreen(!screen_->isFullScreen());
}

bool WindowBackend::isFullScreen() const {
    return screen_->isFullScreen();
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
            // Nobody sees the screen: the live picture stops taking frames.
            if (app.window())
                app.window()->setScreenVisible(false);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            visible_ = true;
            updateLayout();
            if (app.window())
                app.window()->setScreenVisible(true);
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
        // One press, one key: a held key does not act again and again.
        if (event.key.repeat)
            break;
        // Every named key goes on: the program's own table says which ones do something.
        if (auto name = SdlKeyMap::keyName(event.key.keysym.sym, event.key.keysym.mod))
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
    case SDL_MOUSEWHEEL:
        handleWheel(app, event);
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

void WindowBackend::handleWheel(Application& app, const SDL_Event& event) {
    // A touchpad's parts of a notch come only as the precise amounts; a wheel gives whole
    // notches either way.
#if SDL_VERSION_ATLEAST(2, 0, 18)
    const double across = event.wheel.preciseX;
    const double down = event.wheel.preciseY;
#else
    const double across = event.wheel.x;
    const double down = event.wheel.y;
#endif
    // Flipped amounts are what the desktop's own setting ("natural" scrolling) asked for, so
    // they are taken as they come.
#if SDL_VERSION_ATLEAST(2, 26, 0)
    const Point pointer{event.wheel.mouseX + 0.5, event.wheel.mouseY + 0.5};
#else
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    const Point pointer{x + 0.5, y + 0.5};
#endif
    // Over a bar beside the screen nothing is under the pointer.
    if (!layout_.isOnScreen(pointer))
        return;
    // SDL counts up as positive; the screen's points grow downwards.
    app.scroll(layout_.screenPointFromWindow(pointer), across, -down);
}

// ---- Drawing ----

bool WindowBackend::wantsPicture(Application& app) const {
    return visible_ && !layout_.screenRect().isEmpty() && (layoutChanged_ || app.needsDisplay());
}

bool WindowBackend::drawPicture(Application& app) {
    if (!app.window())
        return false;
    if (layoutChanged_) {
        painter_.invalidate();
        // Before the frame: a view that picks its pictures by the scale marks what it changes
        // now, and this very frame draws it.
        app.window()->setPixelScale(layout_.drawScale());
    }
    layoutChanged_ = false;
    // What is marked is taken first: a view that marks the screen while it is being drawn is
    // drawn again at the next frame rather than forgotten.
    const std::vector<Rect>& drawn =
        painter_.paint(*app.window(), layout_.drawScale(), app.runLoop().now());
    if (drawn.empty())
        return false;
    ++picturesDrawn_;
    // One to one at the display scale keeps every edge on a pixel; only a picture that had
    // to be drawn smaller than the window is smoothed on its way up.
    const Rect target = layout_.screenRect();
    const bool exact =
        target.width() == painter_.pixelWidth() && target.height() == painter_.pixelHeight();
    screen_->updatePicture(painter_.data(), painter_.stride(), painter_.pixelWidth(),
                           painter_.pixelHeight(), drawn, !exact);
    return true;
}

void WindowBackend::render(double now) {
    renderedOffset_ = shake_.offset(now);
    Rect target = layout_.screenRect();
    const double pixelsPerPoint = target.width() / Application::kScreenWidth;
    target.origin.x += std::round(renderedOffset_.x * pixelsPerPoint);
    target.origin.y += std::round(renderedOffset_.y * pixelsPerPoint);
    screen_->render(target);
}

void WindowBackend::present(double now) {
    render(now);
    screen_->present();
    lastRender_ = now;
    needsRender_ = false;
}

ImageRef WindowBackend::windowPixels() {
    if (!isOpen())
        return nullptr;
    render(clock_->now());
    return screen_->readPixels();
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
        if (displayWoke_ && eventsHandled_ == 0)
            noteQuietWake(loop.now());
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
            if (drawPicture(app))
                needsRender_ = true;
            lastPicture_ = now;
        }
        const bool shaking = shake_.isShaking(now) || renderedOffset_ != Point{};
        if (needsRender_ || (shaking && now >= lastRender_ + kFrame - kSlack))
            present(now);
        if (!shown) {
            // Shown only with its first picture, so it never flashes an empty frame.
            screen_->show();
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
