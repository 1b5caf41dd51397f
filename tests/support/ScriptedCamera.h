#pragma once

#include "prints/PrintStore.h"
#include "support/CameraProcess.h"
#include "support/TempHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>

// How a headless run is started.
struct HeadlessOptions {
    // "scene", or a picture file to take photographs of.
    std::string camera = "scene";
    // The phone model whose print sizes are used; empty for the program's own choice.
    std::string model;
    // Pixels per point of the shots; 0 leaves --scale out.
    double scale = 0;
    ProcessLimits limits;
    // More options for the program (--printer ADDRESS).
    std::vector<std::string> arguments = {};
};

// The program itself, headless in a home of its own, driven by a script as a user would
// drive it; and the prints and album an earlier run would have left there. Each run's
// script and messages get files of their own, so a second run started while the first still
// goes keeps them apart.
class ScriptedCamera {
public:
    const TempHome& home() const { return home_; }

    // Starts a run of the script and leaves it going.
    std::unique_ptr<CameraProcess> start(const std::string& script,
                                         const HeadlessOptions& options = {}) {
        const int run = ++runs_;
        const auto file = home_.root() / ("script-" + std::to_string(run) + ".txt");
        TempHome::writeText(file, script);
        std::vector<std::string> arguments = {"--headless", "--camera", options.camera, "--home",
                                              home_.root().string()};
        if (!options.model.empty())
            arguments.insert(arguments.end(), {"--model", options.model});
        if (options.scale > 0)
            arguments.insert(arguments.end(), {"--scale", std::to_string(options.scale)});
        arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
        arguments.insert(arguments.end(), {"--script", file.string()});
        return std::make_unique<CameraProcess>(
            arguments, home_.root() / ("errors-" + std::to_string(run) + ".txt"), options.limits);
    }
    // Runs the script to the end: the exit status (-signal when a signal ended it). Its
    // messages are then errors().
    int runScript(const std::string& script, const HeadlessOptions& options = {}) {
        const auto camera = start(script, options);
        const int status = camera->wait();
        errors_ = camera->errors();
        return status;
    }
    // The exit status of a shell command line, for runs fed through a pipe; its standard
    // error is then errors().
    int runCommand(const std::string& command) {
        const auto file = home_.root() / ("errors-" + std::to_string(++runs_) + ".txt");
        const int status = std::system((command + " 2>" + file.string()).c_str());
        errors_ = TempHome::readText(file);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // What the last finished run wrote to its standard error.
    const std::string& errors() const { return errors_; }

    // n grey prints as an earlier run leaves them, newest first, named 1000+n.jpg down to
    // 1001.jpg, each with both files; false if any could not be written.
    bool seedPrints(int n) {
        std::vector<platform::PropertyList> prints;
        std::filesystem::create_directories(home_.documents());
        const auto picture = platform::Image::fromPixels(
            250, 250, std::vector<std::uint32_t>(250 * 250, 0xFF808080u));
        bool written = true;
        for (int i = n; i >= 1; --i) {
            const std::string name = std::to_string(1000 + i) + ".jpg";
            written = picture->writeJpeg(home_.documents() / name, 1.0) && written;
            written = picture->writeJpeg(home_.documents() / ("big_" + name), 1.0) && written;
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        return platform::PropertyList::array(prints).writeFile(home_.documents() /
                                                               "prints.plist") &&
               written;
    }

    // The names the print list holds, in its order (newest first).
    std::vector<std::string> listedNames() const {
        std::vector<std::string> names;
        if (const auto list = platform::PropertyList::readFile(home_.documents() / "prints.plist"))
            for (const platform::PropertyList& entry : list->array())
                names.push_back(PrintStore::printName(entry));
        return names;
    }
    bool bothFiles(const std::string& name) const {
        return std::filesystem::exists(home_.documents() / name) &&
               std::filesystem::exists(home_.documents() / ("big_" + name));
    }
    bool noFiles(const std::string& name) const {
        return !std::filesystem::exists(home_.documents() / name) &&
               !std::filesystem::exists(home_.documents() / ("big_" + name));
    }
    std::filesystem::path album() const { return home_.root() / "Pictures" / "Morvane"; }
    // Full-size prints in the photo album: one for every print ever made here.
    std::size_t albumCount() const {
        std::error_code ec;
        if (!std::filesystem::is_directory(album(), ec))
            return 0;
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(album()),
                                                      std::filesystem::directory_iterator()));
    }

private:
    TempHome home_;
    int runs_ = 0;
    std::string errors_;
};
