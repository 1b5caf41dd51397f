#include "platform/backend/HeadlessBackend.h"

#include "platform/backend/ScriptParser.h"
#include "platform/ui/Application.h"

#include <cstdio>

namespace platform {

HeadlessBackend::HeadlessBackend(const Script& script, double scale)
    : clock_(std::make_shared<VirtualClock>()), runner_(script), scale_(scale) {
    runner_.setShotScale(scale);
}

int HeadlessBackend::run(Application& app) {
    if (app.window())
        app.window()->setPixelScale(scale_);
    RunLoop& loop = app.runLoop();
    // Whatever launch queued happens before the first command.
    loop.runUntil(loop.now());
    runner_.start(loop.now());
    while (!app.isQuitRequested() && !runner_.isFinished()) {
        loop.runUntil(runner_.nextStepTime());
        if (app.isQuitRequested())
            break;
        if (loop.now() >= runner_.nextStepTime())
            runner_.step(app);
        // What the step set off at this moment settles before the next step.
        loop.runUntil(loop.now());
    }
    if (runner_.failed()) {
        std::fprintf(stderr, "%s\n", runner_.failure().c_str());
        return 1;
    }
    return 0;
}

int HeadlessBackend::runScript(Application& app, std::istream& input) {
    std::string error;
    auto script = ScriptParser::parse(input, error);
    if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    HeadlessBackend backend(*script);
    return app.run(backend);
}

int HeadlessBackend::runScriptFile(Application& app, const std::filesystem::path& path) {
    std::string error;
    auto script = ScriptParser::parseFile(path, error);
    if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    HeadlessBackend backend(*script);
    return app.run(backend);
}

} // namespace platform
