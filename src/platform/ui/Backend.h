#pragma once

#include "platform/ui/Clock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Application;

// Where the screen and the input go: a window, or the headless screen driven by a script.
// The application calls open(), launches, then run(), then terminates and calls close().
class Backend {
public:
    virtual ~Backend() = default;
    // The clock the application's run loop reads while this backend drives it.
    virtual std::shared_ptr<Clock> clock() = 0;
    // Before launch. On failure returns false with a message; the application then does not
    // launch and exits with status 1.
    virtual bool open(Application&, std::string&) { return true; }
    // Drives the run loop after launch until the application quits or the backend is done
    // (end of script, window closed); returns the exit status.
    virtual int run(Application& application) = 0;
    // After termination.
    virtual void close(Application&) {}
    // One vibration of the device, on the main thread: a window shakes and buzzes; a screen
    // that nobody sees has nothing to show for it.
    virtual void vibrate() {}
    // A short sound (mono, 16-bit samples at `sampleRate` a second), where there is audio.
    virtual void playSound(const std::vector<std::int16_t>&, int) {}
    // Fills the display with the window, or gives it back its size; false where there is no
    // window (the headless screen).
    virtual bool toggleFullScreen() { return false; }
};

} // namespace platform
