#pragma once

#include "platform/backend/Script.h"
#include "platform/backend/SdlBuzzer.h"
#include "platform/backend/WindowLayout.h"
#include "platform/backend/WindowShake.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Backend.h"
#include "platform/ui/ScreenPainter.h"

#include <memory>
#include <optional>
#include <string>

union SDL_Event;

namespace platform {

class RealClock;
class RunLoop;
class ScriptRunner;
class SdlDisplayConnection;
class SdlScreen;

// The camera in a desktop window (SDL2), on the real clock. The screen is drawn by the view
// tree at the pixel scale the window shows it at, so it is crisp at any window size; a
// resized or full-screen window keeps the screen's proportions, centred between black bars.
// The mouse is the finger, its wheel and the touchpad scroll what is under the pointer; each
// key goes to the application by its name (KeyName); closing the window quits.
//
// It redraws only the parts of the screen marked as changed or moving, into a picture of
// the screen it keeps, and hands only those parts on to the display; otherwise it sleeps in
// the run loop until the next timer, input from the display, or work posted from another
// thread, so an idle camera costs next to nothing. A minimised or hidden window tells the
// application's window that nobody sees the screen.
//
// With a script, the same commands as headless run on the real clock (a wait is real
// seconds, a shot is the 320 by 480 screen) and the end of the script quits.
class WindowBackend : public Backend {
public:
    // Window pixels per screen point.
    static constexpr double kDefaultScale = 2;
    static constexpr double kMinScale = 0.5;
    static constexpr double kMaxScale = 8;

    explicit WindowBackend(double scale = kDefaultScale, std::optional<Script> script = {});
    ~WindowBackend() override;
    WindowBackend(const WindowBackend&) = delete;
    WindowBackend& operator=(const WindowBackend&) = delete;

    // Whether there seems to be a display to open a window on; when not, `message` is the
    // line to print (the program can then run headless instead).
    static bool displayAvailable(std::string& message);

    std::shared_ptr<Clock> clock() override;
    // Opens the window (hidden until its first picture is ready). Fails with a one-line
    // message: no display, a scale out of range, or what SDL reports.
    bool open(Application& application, std::string& error) override;
    int run(Application& application) override;
    void close(Application& application) override;

    // The vibration: the window's picture shakes for a moment and a short low buzz plays
    // where there is audio. Main thread only; nothing happens while the window is closed.
    void vibrate() override;
    void playSound(const std::vector<std::int16_t>& samples, int sampleRate) override;
    bool isShaking() const;
    // The window over the whole display, or back; the screen's layout follows when the window
    // system has made the change.
    bool toggleFullScreen() override;
    bool isFullScreen() const;

    bool isOpen() const;
    // Where the screen lies in the window now.
    const WindowLayout& layout() const { return layout_; }
    // What the window shows now, bars included, in drawable pixels; null while closed. For
    // tests and diagnostics: it draws the window's frame again to read it back.
    ImageRef windowPixels();
    // How many frames drew anything since the window opened: a still screen adds none.
    int picturesDrawn() const { return picturesDrawn_; }
    // Asks for a new window size in window coordinates; the layout follows when the window
    // system has made the change.
    void setWindowSize(int width, int height);

private:
    void setIcon();
    void updateLayout();
    void handleEvents(Application& application);
    void handleEvent(Application& application, const SDL_Event& event);
    void handleWheel(Application& application, const SDL_Event& event);
    void cancelTouch(Application& application);
    bool wantsPicture(Application& application) const;
    // Draws what changed; false when nothing did.
    bool drawPicture(Application& application);
    void render(double now);
    void present(double now);
    void watchDisplay(RunLoop& loop);
    void unwatchDisplay();
    void noteQuietWake(double now);
    double nextWake(Application& application, const ScriptRunner* runner, double now);

    double scale_;
    std::optional<Script> script_;
    std::shared_ptr<RealClock> clock_;
    std::unique_ptr<SdlScreen> screen_;
    std::unique_ptr<SdlDisplayConnection> connection_;
    WindowLayout layout_;
    ScreenPainter painter_;
    WindowShake shake_;
    SdlBuzzer buzzer_;

    // The loop the display socket is watched on (not owned; set between open and close).
    RunLoop* watchedLoop_ = nullptr;
    bool displayWoke_ = false;
    int quietWakes_ = 0;
    double quietSince_ = 0;
    int eventsHandled_ = 0;

    bool visible_ = true;
    bool layoutChanged_ = true;
    bool needsRender_ = false;
    bool touching_ = false;
    int picturesDrawn_ = 0;
    double lastPicture_ = -1e300;
    double lastRender_ = -1e300;
    Point renderedOffset_;
};

} // namespace platform
