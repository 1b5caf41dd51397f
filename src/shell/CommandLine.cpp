#include "shell/CommandLine.h"

#include "shell/CameraRun.h"
#include "shell/DefaultsCommand.h"
#include "shell/DesktopPreferences.h"
#include "shell/HelpFormatter.h"
#include "shell/KeyboardShortcuts.h"
#include "shell/ManualPage.h"
#include "shell/PrintersCommand.h"

#include "platform/camera/CameraDeviceMonitor.h"
#include "platform/foundation/HardwareModel.h"
#include "platform/location/ResourceFolder.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

namespace {

// The rest of the manual page, after the options: the keys come from the camera's table.
std::string manual() {
    return R"(
Commands:
  morvane [OPTIONS]                    the camera in a window
  morvane --headless [--script FILE]   no window; a script plays the user
                                       (standard input without --script)
  morvane print PHOTO... --out DIR     prints from photo files
                                       (morvane print --help)
  morvane defaults read|write|delete [KEY [VALUE]]
                                       the preferences
                                       (morvane defaults --help)
  morvane printers [--printer NAME]    the printers CUPS knows, with their
                                       paper sizes

Using the camera:
  The mouse is the finger: click the buttons, drag the film strip for one of
  ten looks and the picture area for one of three print frames; the mouse
  wheel and the touchpad turn them too, and scroll the gallery and the photos.
  The shutter makes a print; it develops, drops out of the camera and goes
  into the photo album and the gallery of recent prints.

Keyboard:
)" + KeyboardShortcuts::manual() +
           R"(  A key acts only on what is in front: while an alert is up, only its own
  keys and the window's (F1, F11, Ctrl+Q) act.

Script lines (headless, one a line, # starts a comment):
  tap X Y | swipe X1 Y1 X2 Y2 | scroll X Y DX DY | key NAME | wait SECONDS |
  pick PATH | cancel | alert INDEX | shot PATH.png | quit
  Scroll turns the mouse wheel at X Y by DX notches right and DY down
  (negative: left, up); parts of a notch move as a touchpad does.
  Time is virtual: a 30 second wait costs milliseconds. A shot is the screen
  at 320 by 480 pixels, or --scale times that when --scale is given.

Files (below DIR/ instead with --home DIR or MORVANE_HOME=DIR):
  $XDG_DATA_HOME/morvane/Documents
                     prints.plist (the 20 most recent prints), config.plist
                     (the strips' pages), N.jpg and big_N.jpg per print
  $XDG_CONFIG_HOME/morvane/preferences.plist
                     the preferences
  <pictures folder>  the photos the library mode offers
  <pictures folder>/Morvane
                     the photo album: every full-size print

Prints on paper:
  With a printer chosen (morvane defaults write printer NAME, or --printer
  NAME for one run) each print the shutter makes is also sent to it once it
  is in the album, on a 10x15 cm / 4x6 in or square photo sheet at an instant
  print's size; Ctrl+P in the gallery prints the print in view again. A note
  over the picture says how the print goes; the job number goes to standard
  error. A printer that cannot be reached costs only the paper copy.

Exit status: 0 done, 1 failed, 2 wrong options or a malformed script.
)";
}

} // namespace

std::optional<int> CommandLine::parse(int argc, const char* const* argv, Options& options,
                                      std::ostream& out, std::ostream& err) {
    CLI::App app{"Morvane: an instant-film camera for the desktop. Without a command it opens\n"
                 "the camera in a window; with no display it plays a short headless demo.",
                 "morvane"};
    // Before the commands are added, which take their formatter from here.
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_version_flag("--version", std::string("morvane ") + MORVANE_VERSION);
    app.fallthrough();
    app.footer(manual());

    app.add_flag("--headless", options.headless,
                 "Run without a window, driven by a script (from --script or standard input)");
    app.add_option("--script", options.script,
                   "Script of taps, swipes, scrolls, keys, waits and shots")
        ->option_text("FILE");
    app.add_option("--home", options.home,
                   "Keep Documents, preferences and pictures under DIR instead of the usual "
                   "folders")
        ->option_text("DIR");
    app.add_option("--camera", options.camera,
                   "What the camera sees: auto (the first camera, else the built-in scene), "
                   "scene, a camera's name or device node, gst:PIPELINE (a GStreamer source, "
                   "such as 'gst:videotestsrc pattern=ball') or a picture file; list shows "
                   "the cameras found")
        ->option_text("SOURCE");
    app.add_option("--model", options.model,
                   "Hardware model text the camera sizes its pictures by (default: this "
                   "machine's)")
        ->option_text("TEXT");
    app.add_option("--scale", options.scale,
                   "Window pixels per point (default 2); headless, the shots' pixels per "
                   "point (default 1)")
        ->option_text("N")
        ->check(CLI::Range(0.5, 8.0));
    app.add_option("--mirror", options.mirror,
                   "Show a webcam's live picture as a mirror: auto or on (the scene, a "
                   "picture or a pipeline never are), or off. Prints are never mirrored; M "
                   "switches it")
        ->option_text("auto|on|off")
        ->check(CLI::IsMember({"auto", "on", "off"}));
    app.add_option("--printer", options.printer,
                   "Send prints to this printer on paper for this run: a CUPS queue or "
                   "ipp://host:port/path (see morvane printers; none: the preference printer)")
        ->option_text("NAME");

    CLI::App* defaults =
        app.add_subcommand("defaults", "Read or change the preferences: skin, canVibrate, canDate, "
                                       "isHighQuality, selfTimer, playsSounds, "
                                       "showsLookLive, printer");
    defaults->fallthrough();
    // A subcommand takes its parent's footer, which is the whole manual; each has its own.
    defaults->footer(R"(Keys:
  skin            0 white, 1 black, 2 wood
  canDate         YES stamps the date on prints
  isHighQuality   YES makes 1500-pixel prints (1200 on the first models)
                  instead of 750
  canVibrate      YES keeps the camera still when a print drops out
  selfTimer       0 (off), 3 or 10: seconds from the shutter to the shot in
                  camera mode (the T key changes it)
  playsSounds     NO silences the shutter's sound (YES when not set)
  showsLookLive   YES shows the live picture through the chosen look, with the
                  print's frame and date, as the print will be (NO when not
                  set; the P key changes it)
  printer         a CUPS queue (morvane printers lists them) or an address
                  such as ipp://host:631/ipp/print: each print the shutter
                  makes is also printed there on paper

Exit status: 0 done, 1 the preferences file could not be written, 2 a wrong
key or value.
)");
    defaults
        ->add_option("words", options.defaultsArguments,
                     "read [KEY] | write KEY VALUE | delete [KEY]")
        ->option_text("ACTION [KEY [VALUE]]");

    CLI::App* print = PrintCommand::addTo(app, options.printOptions);
    CLI::App* printers = app.add_subcommand(
        "printers", "List the printers CUPS knows (queues and IPP Everywhere printers on the "
                    "network) with their paper sizes; with --printer, that printer alone");
    printers->footer("\nExit status: 0 listed (or CUPS knows none), 1 nothing could be asked.\n");

    // The build writes the manual pages with this, from the very help text above; hidden, as
    // no user needs it.
    std::string manualPage;
    app.add_option("--manual-page", manualPage, "Write a manual page (roff) to standard output")
        ->check(CLI::IsMember({"morvane", "print", "defaults"}))
        ->group("");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, out, err);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version, out, err);
    } catch (const CLI::ParseError& error) {
        err << HelpFormatter::wrap(std::string("morvane: ") + error.what(), HelpFormatter::kWidth)
            << "\n"
            << "Run morvane --help for the options.\n";
        return kUsageError;
    }
    if (!manualPage.empty()) {
        const std::string source = std::string("Morvane ") + MORVANE_VERSION;
        if (manualPage == "print")
            out << ManualPage::fromHelp(
                {"morvane-print", "make instant-film prints from photo files", source},
                print->help("morvane"));
        else if (manualPage == "defaults")
            out << ManualPage::fromHelp(
                {"morvane-defaults", "read or change the camera's preferences", source},
                defaults->help("morvane"));
        else
            out << ManualPage::fromHelp(
                {"morvane", "an instant-film camera for the desktop", source}, app.help());
        return 0;
    }
    options.defaults = defaults->parsed();
    options.print = print->parsed();
    options.printers = printers->parsed();
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
    if (options.printer)
        setenv(DesktopPreferences::kPrinterVariable, options.printer->c_str(), 1);
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
    if (options.printers)
        return PrintersCommand::run(options.printer.value_or(""), std::cout, std::cerr);
    // The camera and the print command draw with the shipped pictures: without them there would
    // be a half-drawn screen or blank prints, so one sentence says where they were looked for.
    if (options.print || options.camera != "list") {
        if (auto problem = platform::ResourceFolder::problem(platform::ResourceFolder::current())) {
            std::cerr << "morvane: " << *problem << "\n";
            return 1;
        }
    }
    if (options.print && options.printOptions.printer.empty() && options.printer)
        options.printOptions.printer = *options.printer;
    if (options.print)
        return PrintCommand::run(options.printOptions, platform::HardwareModel::current(),
                                 std::cout, std::cerr, ::isatty(STDOUT_FILENO) != 0);
    if (options.camera == "list")
        return listCameras(std::cout);
    return runCamera(options);
}

namespace {

// The word as a shell reads it back: quoted when it holds anything but plain characters.
std::string shellWord(const std::string& word) {
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTU"
                                                "VWXYZ0123456789/._-:,+=@") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

int CommandLine::listCameras(std::ostream& out) {
    const auto cameras = platform::CameraDeviceMonitor::list();
    if (cameras.empty()) {
        out << "No cameras found. --camera auto shows the built-in scene and takes a camera\n"
               "when one is plugged in; --camera 'gst:PIPELINE' takes any GStreamer source.\n";
        return 0;
    }
    // Each camera with what --camera takes for it: its name, or its device node where two
    // cameras share a name.
    std::vector<std::pair<std::string, std::string>> rows;
    std::size_t width = 0;
    for (const auto& camera : cameras) {
        const auto sameName = std::count_if(cameras.begin(), cameras.end(),
                                            [&](const auto& c) { return c.name == camera.name; });
        const std::string choice = sameName > 1 && !camera.path.empty() ? camera.path : camera.name;
        const std::string name = camera.name.empty() ? "(no name)" : camera.name;
        rows.emplace_back(name, "--camera " + shellWord(choice));
        width = std::max(width, name.size());
    }
    for (const auto& [name, choice] : rows)
        out << name << std::string(width - name.size() + 3, ' ') << choice << "\n";
    return 0;
}

int CommandLine::runCamera(const Options& options) {
    CameraRun::Settings settings;
    settings.headless = options.headless;
    settings.script = options.script;
    settings.camera = options.camera;
    settings.scale = options.scale;
    if (options.mirror != "auto")
        settings.mirror = options.mirror == "on";
    return CameraRun::run(settings);
}
