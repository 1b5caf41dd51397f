#include "platform/ui/Application.h"

#include "platform/camera/SceneCameraSource.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Backend.h"
#include "platform/ui/DrawPass.h"
#include "platform/ui/ScreenPainter.h"
#include "platform/ui/SignalWatcher.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace platform {

namespace {

Application* sharedApplication = nullptr;

// How long (real seconds) termination waits for background saves to finish.
constexpr double kAsyncDrainSeconds = 10;

} // namespace

Application::Application(std::shared_ptr<Clock> clock) : loop_(std::move(clock)) {
    if (sharedApplication)
        throw std::logic_error("an application already exists");
    sharedApplication = this;
    loop_.makeMain();
}

Application::~Application() {
    if (sharedApplication == this)
        sharedApplication = nullptr;
}

Application& Application::shared() {
    if (!sharedApplication)
        throw std::logic_error("no application exists");
    return *sharedApplication;
}

bool Application::exists() {
    return sharedApplication != nullptr;
}

void Application::setWindow(std::shared_ptr<Window> window) {
    window_ = std::move(window);
    if (window_)
        window_->markNeedsDisplay();
}

int Application::run(Backend& backend) {
    if (running_)
        return 1;
    running_ = true;
    loop_.setClock(backend.clock());
    std::string error;
    if (!backend.open(*this, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        running_ = false;
        return 1;
    }
    backend_ = &backend;
    int status = 0;
    {
        SignalWatcher signals(loop_, [this] { quit(); });
        if (delegate_)
            delegate_->applicationDidFinishLaunching(*this);
        if (rootViewController_ && window_) {
            auto view = rootViewController_->view();
            if (!view->window())
                window_->insertSubviewAt(view, 0);
            loop_.post([controller = rootViewController_] { controller->viewDidAppear(false); });
        }
        if (!quitRequested_)
            status = backend.run(*this);
        terminate();
    }
    loop_.waitForAsyncWork(kAsyncDrainSeconds);
    backend_ = nullptr;
    backend.close(*this);
    running_ = false;
    return status;
}

void Application::quit() {
    quitRequested_ = true;
    loop_.stop();
}

void Application::terminate() {
    if (terminated_)
        return;
    terminated_ = true;
    if (delegate_)
        delegate_->applicationWillTerminate(*this);
}

void Application::touchDown(Point point) {
    if (window_)
        window_->touchDown(point);
}

void Application::touchMove(Point point) {
    if (window_)
        window_->touchMove(point);
}

void Application::touchUp(Point point) {
    if (window_)
        window_->touchUp(point);
}

bool Application::scroll(Point point, double dx, double dy) {
    return window_ && window_->scrollWheel(point, {dx, dy});
}

bool Application::key(const std::string& name) {
    // The one place a key is routed: what is modal in front answers its own keys alone, as
    // only its own controls can be touched while it is up.
    if (auto front = frontResponder()) {
        if (name == kCancelKey)
            return front->pressCancelKey();
        if (name == kDefaultKey)
            return front->pressDefaultKey();
        if (front->pressOtherKey(name))
            return true;
    }
    return keyHandler_ ? keyHandler_(name) : false;
}

ImageRef Application::snapshot(double scale) {
    if (!std::isfinite(scale) || scale <= 0 || scale > 8)
        scale = 1;
    ImageContext context(Size{kScreenWidth, kScreenHeight}, scale);
    DrawPass pass;
    ScreenPainter::drawScreen(window_.get(), context, loop_.now(), pass);
    return context.makeImage();
}

bool Application::needsDisplay() {
    // What moves marks itself: views that animate through the window, scroll views and the
    // spinner as they step. A frame with nothing marked draws nothing.
    return window_ && window_->needsDisplay();
}

std::shared_ptr<CameraSource> Application::cameraSource() {
    if (!cameraSource_)
        cameraSource_ = std::make_shared<SceneCameraSource>();
    return cameraSource_;
}

bool Application::toggleFullScreen() {
    return backend_ && backend_->toggleFullScreen();
}

void Application::vibrate() {
    ++vibrationCount_;
    if (backend_)
        backend_->vibrate();
}

void Application::playSound(const std::vector<std::int16_t>& samples, int sampleRate) {
    ++soundCount_;
    if (backend_)
        backend_->playSound(samples, sampleRate);
}

void Application::pushResponder(const std::shared_ptr<ScriptResponder>& responder) {
    if (!responder)
        return;
    removeResponder(responder.get());
    responders_.push_back(responder);
}

void Application::removeResponder(const ScriptResponder* responder) {
    std::erase_if(responders_, [responder](const auto& weak) {
        auto held = weak.lock();
        return !held || held.get() == responder;
    });
}

std::shared_ptr<ScriptResponder> Application::frontResponder() {
    while (!responders_.empty()) {
        if (auto front = responders_.back().lock())
            return front;
        responders_.pop_back();
    }
    return nullptr;
}

} // namespace platform
