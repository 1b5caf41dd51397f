#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScriptResponder.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Backend;
class CameraSource;

// The single application object: the window, the run loop, the delegate and the root view
// controller. It is the one global, reachable through shared() as long as it exists.
class Application {
public:
    // Screen size in points.
    static constexpr double kScreenWidth = Window::kWidth;
    static constexpr double kScreenHeight = Window::kHeight;

    // A null clock means the real clock; run() switches to its backend's clock. Making a
    // second application while one exists throws std::logic_error.
    explicit Application(std::shared_ptr<Clock> clock = nullptr);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application. Throws std::logic_error when there is none.
    static Application& shared();
    static bool exists();

    RunLoop& runLoop() { return loop_; }

    // The name the program's users know it by: the window's title, and the photo album's
    // (PhotoAlbum). Empty until the program gives it.
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& name() const { return name_; }

    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    const std::shared_ptr<ApplicationDelegate>& delegate() const { return delegate_; }
    // The delegate as the program's own class (null when it is not one).
    template <typename T>
    std::shared_ptr<T> delegateAs() const {
        return std::dynamic_pointer_cast<T>(delegate_);
    }

    void setWindow(std::shared_ptr<Window> window);
    const std::shared_ptr<Window>& window() const { return window_; }
    void setRootViewController(std::shared_ptr<ViewController> controller) {
        rootViewController_ = std::move(controller);
    }
    const std::shared_ptr<ViewController>& rootViewController() const {
        return rootViewController_;
    }

    // Launches (the delegate's launch callback; the root controller's view, put at the back
    // of the window if launch left it out, then gets viewDidAppear), lets the backend run
    // until quit, terminates once and returns the exit status. Stops early on SIGINT,
    // SIGTERM and SIGHUP, which quit like closing the window.
    int run(Backend& backend);
    // Asks the running application to stop; terminate follows.
    void quit();
    bool isQuitRequested() const { return quitRequested_; }
    // Calls the delegate's terminate callback, only the first time.
    void terminate();
    bool isTerminated() const { return terminated_; }

    // One finger on the screen, in screen points.
    void touchDown(Point point);
    void touchMove(Point point);
    void touchUp(Point point);
    // The mouse wheel or a touchpad with the pointer at a screen point, in wheel notches:
    // positive shows more of what lies right and below (the wheel turned towards the user).
    // Whole notches are a wheel's, parts of one a touchpad's (ScrollView::scrollWheel). True
    // when a scroll view took it.
    bool scroll(Point point, double dx, double dy);

    // A key by its name (KeyName), from the window or a script; true when it did something.
    // A picker or alert in front (frontResponder) answers Escape (its cancel) and Return (its
    // default) alone, and may take any other key itself (ScriptResponder::pressOtherKey).
    // Every key it leaves goes to the handler, which decides among the things on the screen
    // and must itself leave alone what the responder covers (frontResponder tells it): the
    // window's own keys, such as quitting, act whatever is in front.
    bool key(const std::string& name);
    void setKeyHandler(std::function<bool(const std::string&)> handler) {
        keyHandler_ = std::move(handler);
    }
    static constexpr const char* kCancelKey = "escape";
    static constexpr const char* kDefaultKey = "return";

    // The screen as it is drawn now (animations where they are at this moment) at `scale`
    // pixels per point (a bad scale counts as 1), over black.
    ImageRef snapshot(double scale = 1.0);
    // Something changed or moves: the window should draw again. A backend that draws takes
    // what to draw with window()->takeDirtyRegion() (a ScreenPainter does).
    bool needsDisplay();

    // The live camera that camera pickers show and take stills from. Until one is set (the
    // --camera choice) it is the built-in scene, made on first use.
    void setCameraSource(std::shared_ptr<CameraSource> source) {
        cameraSource_ = std::move(source);
    }
    std::shared_ptr<CameraSource> cameraSource();
    // Whether camera pickers show the live picture as a mirror does, unless a picker was told
    // otherwise. Stills and prints are never mirrored.
    void setMirrorsLivePicture(bool mirrors) { mirrorsLivePicture_ = mirrors; }
    bool mirrorsLivePicture() const { return mirrorsLivePicture_; }

    // Fills the display with the window, or gives the window back its size: true when the
    // backend has a window to do it with (a headless screen has none).
    bool toggleFullScreen();

    // System sound 4095: each vibration is counted, then handed to the running backend (a
    // window shakes and buzzes; the headless screen has nothing to show).
    void vibrate();
    int vibrationCount() const { return vibrationCount_; }
    // A sound of the camera's own (mono, 16-bit, at `sampleRate` a second): counted, then
    // handed to the backend, which plays it where there is audio.
    void playSound(const std::vector<std::int16_t>& samples, int sampleRate);
    int soundCount() const { return soundCount_; }

    // The pickers and alerts on screen that a script can answer; the last pushed that is
    // still alive is in front.
    void pushResponder(const std::shared_ptr<ScriptResponder>& responder);
    void removeResponder(const ScriptResponder* responder);
    std::shared_ptr<ScriptResponder> frontResponder();

private:
    RunLoop loop_;
    std::string name_;
    std::shared_ptr<ApplicationDelegate> delegate_;
    std::shared_ptr<Window> window_;
    std::shared_ptr<ViewController> rootViewController_;
    std::function<bool(const std::string&)> keyHandler_;
    std::vector<std::weak_ptr<ScriptResponder>> responders_;
    std::shared_ptr<CameraSource> cameraSource_;
    int vibrationCount_ = 0;
    int soundCount_ = 0;
    bool mirrorsLivePicture_ = false;
    // The backend while run() drives it; it outlives the call.
    Backend* backend_ = nullptr;
    bool running_ = false;
    bool quitRequested_ = false;
    bool terminated_ = false;
};

} // namespace platform
