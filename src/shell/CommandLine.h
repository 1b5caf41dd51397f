#pragma once

#include "shell/PrintCommand.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The program's command line: the camera in a window, the camera headless under a script, the
// `print` command for prints from photo files, and the `defaults` command for the preferences.
class CommandLine {
public:
    struct Options {
        bool headless = false;
        // The script file; none reads the script from standard input (headless) or runs
        // without one (window).
        std::optional<std::string> script;
        std::optional<std::string> home;
        std::string camera = "auto";
        std::optional<std::string> model;
        // Window pixels per point (2 unless given); headless, the shots' (1 unless given).
        std::optional<double> scale;
        // auto (a mirror for a webcam only), on or off.
        std::string mirror = "auto";
        // The paper printer for this run, above the preference.
        std::optional<std::string> printer;
        bool printers = false;
        bool defaults = false;
        std::vector<std::string> defaultsArguments;
        bool print = false;
        PrintCommand::Options printOptions;
    };

    // Exit status of a command line that is wrong (an unknown option, a bad value).
    static constexpr int kUsageError = 2;

    // Reads the arguments into options. Returns an exit status when the command line is done
    // with here: after --help or --version (0), or after a clear message about what is wrong.
    static std::optional<int> parse(int argc, const char* const* argv, Options& options,
                                    std::ostream& out, std::ostream& err);

    // Parses, sets up the environment the folders and the model are looked up from, and runs
    // what was asked for. Returns the process's exit status.
    static int run(int argc, const char* const* argv);

private:
    // --home and --model reach every later lookup through the environment, so they must be
    // set before anything asks for a folder or the model.
    static std::optional<int> applyEnvironment(const Options& options, std::ostream& err);
    static int runCamera(const Options& options);
    // `--camera list`: the cameras found, one a line with what --camera takes for it, or a
    // line saying there are none.
    static int listCameras(std::ostream& out);
};
