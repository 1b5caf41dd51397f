#include "shell/CameraRun.h"

#include "shell/MainInterface.h"

#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/ScriptParser.h"
#include "platform/backend/WindowBackend.h"
#include "platform/backend/camera/CameraSourceFactory.h"
#include "platform/graphics/GraphicsWarmUp.h"
#include "platform/ui/Application.h"

#include "capture/DateStamp.h"

#include <iostream>
#include <thread>

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
    std::optional<platform::Script> script;
    if (settings.headless || settings.script) {
        script = readScript(settings.script);
        if (!script)
            return 2;
    }
    // Before the camera is looked for: finding a webcam can take a moment.
    std::string message;
    if (!settings.headless && !platform::WindowBackend::displayAvailable(message)) {
        std::cerr << message << "\n";
        return 1;
    }
    std::string error;
    const auto source = platform::makeCameraSource(settings.camera, error);
    if (!source) {
        std::cerr << "morvane: --camera " << settings.camera << ": " << error << "\n";
        return 2;
    }

    // What the first print would otherwise pay for (fonts, the drawing code's first use) is
    // done while the camera starts; the thread is done with long before the camera is.
    std::jthread warmUp([] { platform::GraphicsWarmUp::run({DateStamp::kFontName}); });

    platform::Application application;
    application.setCameraSource(source);
    MainInterface::load(application);
    if (settings.headless) {
        platform::HeadlessBackend backend(*script);
        return application.run(backend);
    }
    platform::WindowBackend backend(settings.scale, script);
    return application.run(backend);
}
