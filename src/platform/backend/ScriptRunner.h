#pragma once

#include "platform/backend/Script.h"

#include <string>
#include <vector>

namespace platform {

class Application;

// Plays a script against the application one step at a time, on whatever clock drives the
// loop: the headless screen runs the loop up to nextStepTime() and then calls step(); a
// window does the same between frames. A tap is a touch down and, 0.1 s later, up; a swipe
// is a touch down, ten moves 0.025 s apart along the line, and up at the end.
class ScriptRunner {
public:
    static constexpr double kTapDuration = 0.1;
    static constexpr double kSwipeDuration = 0.25;
    static constexpr int kSwipeMoves = 10;

    explicit ScriptRunner(const Script& script);

    // The first step is due at `now` (seconds on the loop's clock).
    void start(double now);
    bool isFinished() const { return next_ >= steps_.size() || failed_; }
    // When the next step is due (seconds); only meaningful while not finished.
    double nextStepTime() const { return nextTime_; }
    // Carries out the next step. A runtime failure (no picker open, a shot that cannot be
    // written) finishes the script with a message.
    void step(Application& application);

    // Pixels per point of `shot` pictures (1, the 320 by 480 screen, unless set).
    void setShotScale(double scale) { shotScale_ = scale; }

    bool failed() const { return failed_; }
    // "script:LINE: message".
    const std::string& failure() const { return failure_; }

private:
    struct Step {
        enum class Action { Down, Move, Up, Pause, Command };
        Action action;
        // Seconds after the previous step.
        double delay;
        Point point;
        // Index of the command it belongs to.
        std::size_t command;
    };
    void fail(const ScriptCommand& command, const std::string& message);
    void run(Application& application, const ScriptCommand& command);

    std::vector<ScriptCommand> commands_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    double nextTime_ = 0;
    bool failed_ = false;
    std::string failure_;
    double shotScale_ = 1;
};

} // namespace platform
