#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/Timer.h"
#include "platform/ui/View.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

// The self-timer: after the shutter, the seconds count down large over the picture area while
// the camera lamp blinks once a second, and then the shot is taken. It also shows the short
// note that says which delay was chosen.
class SelfTimer : public std::enable_shared_from_this<SelfTimer> {
public:
    // The delays the timer key steps through, in seconds; 0 is off.
    static constexpr std::array<int, 3> kDelays = {0, 3, 10};
    // Seconds the note stays on screen.
    static constexpr double kNoteSeconds = 1.5;

    // The delay after `seconds` in the cycle; one the cycle does not know starts it over.
    static int nextDelay(int seconds);
    // A stored delay as one the timer knows: anything else is off.
    static int checkedDelay(long long seconds);

    struct Stage {
        // The countdown and the note lie on this view's top, over the picture area.
        std::shared_ptr<platform::View> overlay;
        // Blinks while the seconds count; either may be missing.
        std::shared_ptr<platform::View> lamp;
        std::string fontName;
    };

    explicit SelfTimer(Stage stage);

    // Counts `seconds` down, then calls `shoot` once. False, and nothing happens, for no delay.
    bool start(int seconds, std::function<void()> shoot);
    // Calls a countdown off: nothing fires, the digits go and the lamp is as it was. False
    // when nothing was counting.
    bool cancel();
    bool isCounting() const { return static_cast<bool>(shoot_); }
    // The whole seconds left, as shown; 0 when not counting.
    int remaining() const { return remaining_; }

    // Shows `text` small over the picture area for a moment.
    void showNote(const std::string& text);

    const std::shared_ptr<platform::Label>& countdownLabel() const { return countdown_; }
    const std::shared_ptr<platform::Label>& noteLabel() const { return note_; }

private:
    void show(const std::shared_ptr<platform::Label>& label);
    void tick();
    void finish();
    static void invalidate(std::shared_ptr<platform::Timer>& timer);

    Stage stage_;
    std::shared_ptr<platform::Label> countdown_;
    std::shared_ptr<platform::Label> note_;
    std::function<void()> shoot_;
    std::shared_ptr<platform::Timer> tickTimer_;
    std::shared_ptr<platform::Timer> blinkTimer_;
    std::shared_ptr<platform::Timer> noteTimer_;
    int remaining_ = 0;
    bool lampWasHidden_ = false;
};
