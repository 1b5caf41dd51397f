#include "shell/CommandLine.h"

#include "shell/CameraRun.h"
#include "shell/DefaultsCommand.h"

#include "platform/foundation/HardwareModel.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

std::optional<int> CommandLine::parse(int argc, const char* const* argv, Options& options,
                                      std::ostream& out, std::ostream& err) {
    CLI::App app{"Morvane: an instant-film camera. Without a sub-command it opens the camera "
                 "in a window.",
                 "morvane"};
    app.set_version_flag("--version", std::string("morvane ") + MORVANE_VERSION);
    app.fallthrough();
    app.footer("Keyboard: Space shutter, C camera, L library, R recent prints, Left/Right film, "
               "Up/Down frame, Escape cancel or close.");

    app.add_flag("--headless", options.headless,
                 "Run without a window, driven by a script (from --script or standard input)");
    app.add_option("--script", options.script, "Script of taps, swipes, waits and shots")
        ->option_text("FILE");
    app.add_option("--home", options.home,
                   "Keep Documents, preferences and pictures under DIR instead of the usual "
                   "folders")
        ->option_text("DIR");
    app.add_option("--camera", options.camera,
                   "What the camera sees: auto (the first webcam, else the built-in scene), "
                   "scene, /dev/videoN or a picture file")
        ->option_text("SOURCE");
    app.add_option("--model", options.model,
                   "Hardware model text the camera sizes its pictures by (default: this "
                   "machine's)")
        ->option_text("TEXT");
    app.add_option("--scale", options.scale, "Window pixels per point (default 2)")
        ->option_text("N")
        ->check(CLI::Range(0.5, 8.0));

    CLI::App* defaults =
        app.add_subcommand("defaults", "Read or change the four preferences: skin, canVibrate, "
                                       "canDate, isHighQuality");
    defaults->fallthrough();
    defaults
        ->add_option("words", options.defaultsArguments,
                     "read [KEY] | write KEY VALUE | delete [KEY]")
        ->option_text("ACTION [KEY [VALUE]]");

    CLI::App* print = PrintCommand::addTo(app, options.printOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, out, err);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version, out, err);
    } catch (const CLI::ParseError& error) {
        err << "morvane: " << error.what() << "\n"
            << "Run morvane --help for the options.\n";
        return kUsageError;
    }
    options.defaults = defaults->parsed();
    options.print = print->parsed();
    if ((options.defaults || options.print) && options.headless) {
        err << "morvane: --headless does not go with the " << (options.print ? "print" : "defaults")
            << " command\n";
        return kUsageError;
    }
    return std::nullopt;
}

std::optional<int> CommandLine::applyEnvironment(const Options& options, std::ostream& err) {
    if (options.home) {
        if (options.home->empty()) {
            err << "morvane: --home needs a folder\n";
            return kUsageError;
        }
        std::error_code error;
        std::filesystem::path home = std::filesystem::absolute(*options.home, error);
        if (error)
            home = *options.home;
        if (std::filesystem::exists(home, error) && !std::filesystem::is_directory(home, error)) {
            err << "morvane: --home " << *options.home << " is not a folder\n";
            return kUsageError;
        }
        setenv("MORVANE_HOME", home.c_str(), 1);
    }
    if (options.model)
        setenv("MORVANE_MODEL", options.model->c_str(), 1);
    return std::nullopt;
}

int CommandLine::run(int argc, const char* const* argv) {
    Options options;
    if (auto status = parse(argc, argv, options, std::cout, std::cerr))
        return *status;
    if (auto status = applyEnvironment(options, std::cerr))
        return *status;
    if (options.defaults)
        return DefaultsCommand::run(options.defaultsArguments, std::cout, std::cerr);
    if (options.print)
        return PrintCommand::run(options.printOptions, platform::HardwareModel::current(),
                                 std::cout, std::cerr, ::isatty(STDOUT_FILENO) != 0);
    return runCamera(options);
}

int CommandLine::runCamera(const Options& options) {
    CameraRun::Settings settings;
    settings.headless = options.headless;
    settings.script = options.script;
    settings.camera = options.camera;
    settings.scale = options.scale;
    return CameraRun::run(settings);
}
