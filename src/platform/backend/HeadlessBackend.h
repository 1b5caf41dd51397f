#pragma once

#include "platform/backend/Script.h"
#include "platform/backend/ScriptRunner.h"
#include "platform/ui/Backend.h"
#include "platform/ui/VirtualClock.h"

#include <filesystem>
#include <iosfwd>
#include <memory>

namespace platform {

// No window: the screen exists only in memory, time is virtual and a script plays the user.
// Time jumps from one event to the next, so every run of a script gives the same result.
// The run ends at the end of the script or at quit (status 0), or at the first runtime
// failure of the script (its message on standard error, status 1).
class HeadlessBackend : public Backend {
public:
    // `scale`: pixels per point the screen is drawn at, its shots too (1: 320 by 480).
    explicit HeadlessBackend(const Script& script, double scale = 1);

    // The whole headless run for the command line: parses the script first (a malformed line
    // prints "script:LINE: message" and gives status 2 before anything launches), then runs
    // the application on it and returns its status.
    static int runScript(Application& application, std::istream& script);
    static int runScriptFile(Application& application, const std::filesystem::path& path);

    std::shared_ptr<Clock> clock() override { return clock_; }
    int run(Application& application) override;

private:
    std::shared_ptr<VirtualClock> clock_;
    ScriptRunner runner_;
    double scale_;
};

} // namespace platform
