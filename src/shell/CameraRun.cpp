#include "shell/CameraRun.h"

#include "shell/MainInterface.h"

#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/ScriptParser.h"
#include "platform/ui/Application.h"

#include <iostream>

namespace {

// The whole script is read and checked before the camera starts, so a malformed line changes
// nothing on disk.
std::optional<platform::Script> readScript(const std::optional<std::string>& file) {
    std::string error;
    std::optional<platform::Script> script = file ? platform::ScriptParser::parseFile(*file, error)
                                                  : platform::ScriptParser::parse(std::cin, error);
    if (!script)
        std::cerr << error << "\n";
    return script;
}

} // namespace

int CameraRun::run(const Settings& settings) {
    if (!settings.headless) {
        std::cerr << "morvane: the window is not available yet; run the camera with --headless "
                     "(and --script FILE)\n";
        return 1;
    }
    const std::optional<platform::Script> script = readScript(settings.script);
    if (!script)
        return 2;

    platform::Application application;
    MainInterface::load(application);
    platform::HeadlessBackend backend(*script);
    return application.run(backend);
}
