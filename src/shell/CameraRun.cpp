#include "shell/CameraRun.h"

#include "shell/CameraNotices.h"
#include "shell/HeadlessDemo.h"
#include "shell/HelpFormatter.h"
#include "shell/KeyboardShortcuts.h"
#include "shell/MainInterface.h"

#include "platform/backend/HeadlessBackend.h"
#include "platform/backend/ScriptParser.h"
#include "platform/backend/WindowBackend.h"
#include "platform/camera/CameraSourceFactory.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FolderLock.h"
#include "platform/graphics/GraphicsWarmUp.h"
#include "platform/ui/Application.h"

#include "capture/DateStamp.h"
#include "capture/FilmFrame.h"
#include "prints/PrintStore.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

// The whole script is read and checked before the camera starts, so a malformed line changes
// nothing on disk.
std::optional<platform::Script> readScript(const std::optional<std::string>& file) {
    std::string error;
    const auto& keys = KeyboardShortcuts::keyNames();
    std::optional<platform::Script> script =
        file ? platform::ScriptParser::parseFile(*file, error, keys)
             : platform::ScriptParser::parse(std::cin, error, keys);
    if (!script)
        std::cerr << error << "\n";
    return script;
}

// The film frame the strips will stand at when the camera opens: the one the first print is
// most likely made with, so it is decoded while the camera starts rather than at the press.
std::vector<std::filesystem::path> firstFilmFrame() {
    const PrintStore::List config = PrintStore::peekConfigList();
    const FilmFrame frame = FilmFrame::forCategoryAndFrame(
        PrintStore::restoredCategoryNumber(config), PrintStore::restoredFrameNumber(config));
    if (const auto path = platform::Bundle::main().pathForResource(frame.name, "png"))
        return {*path};
    return {};
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
        if (settings.script) {
            std::cerr << message << "\n";
            return 1;
        }
        return runDemo(settings, message);
    }
    return runCamera(settings, std::move(script));
}

int CameraRun::runDemo(const Settings& settings, const std::string& why) {
    std::string error;
    const auto folder = HeadlessDemo::prepare(error);
    if (!folder) {
        std::cerr << why << "\nmorvane: " << error << "\n";
        return 1;
    }
    std::cerr << "morvane: no display, so here is the headless demo instead; its shots and\n"
                 "  prints go to "
              << folder->string() << "\n";
    // Everything the demo keeps stays in its folder, away from the user's own prints.
    setenv("MORVANE_HOME", folder->c_str(), 1);
    std::istringstream text(HeadlessDemo::script(*folder));
    std::string parseError;
    std::optional<platform::Script> script =
        platform::ScriptParser::parse(text, parseError, KeyboardShortcuts::keyNames());
    if (!script) {
        std::cerr << parseError << "\n";
        return 1;
    }
    Settings demo = settings;
    demo.headless = true;
    const int status = runCamera(demo, std::move(script));
    if (status == 0)
        std::cerr << "morvane: demo done:\n  screen shots in "
                  << HeadlessDemo::shots(*folder).string() << "\n  prints in "
                  << (*folder / "Documents").string() << "\n  and in "
                  << (*folder / "Pictures" / MainInterface::kApplicationName).string() << "\n";
    return status;
}

int CameraRun::runCamera(const Settings& settings, std::optional<platform::Script> script) {
    // Two cameras on one Documents folder would each write their own lists over the other's.
    // The lock is taken before anything there is read, and held to the end of the run.
    const std::filesystem::path documents = PrintStore::documentsDirectory();
    platform::FolderLock::Refusal refusal;
    const auto lock = platform::FolderLock::acquire(documents, PrintStore::kLockFileName, refusal);
    if (!lock) {
        if (!refusal.error.empty())
            std::cerr << "morvane: " << refusal.error << "\n";
        else
            std::cerr << "morvane: the camera is already open on " << documents.string()
                      << (refusal.holder > 0 ? " (process " + std::to_string(refusal.holder) + ")"
                                             : std::string())
                      << "\n";
        return 1;
    }

    std::string error;
    const auto source = platform::makeCameraSource(
        settings.camera, error, [](const platform::CameraStatus& status) {
            if (const std::string line = CameraNotices::line(status); !line.empty())
                std::cerr << HelpFormatter::wrap(line, HelpFormatter::kWidth) << "\n";
        });
    if (!source) {
        std::cerr << HelpFormatter::wrap("morvane: --camera " + settings.camera + ": " + error,
                                         HelpFormatter::kWidth)
                  << "\n";
        return 2;
    }
    // The camera settles before the first picture and the script's first command: a window
    // opens on the camera's picture rather than on black, and the virtual clock of a headless
    // run starts from the same first frame every time.
    source->waitForFirstFrame(kCameraStartSeconds);

    // What the first print would otherwise pay for (fonts, the drawing code's first use) is
    // done while the camera starts; the thread is done with long before the camera is.
    // Folders are looked up here, on the main thread.
    std::jthread warmUp([frames = firstFilmFrame()] {
        platform::GraphicsWarmUp::run({DateStamp::kFontName}, frames);
    });

    platform::Application application;
    application.setCameraSource(source);
    // A webcam faces its user, who expects a mirror; the preview applies it to webcams alone,
    // so the scene, a picture or a pipeline are shown as they are.
    application.setMirrorsLivePicture(settings.mirror.value_or(true));
    MainInterface::load(application);
    if (settings.headless) {
        platform::HeadlessBackend backend(*script, settings.scale.value_or(1));
        return application.run(backend);
    }
    platform::WindowBackend backend(settings.scale.value_or(platform::WindowBackend::kDefaultScale),
                                    script);
    return application.run(backend);
}
