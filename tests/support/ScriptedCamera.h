#pragma once

#include "prints/PrintStore.h"
#include "support/TempHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

// The program itself, headless in a home of its own, driven by a script as a user would
// drive it; and the prints and album an earlier run would have left there.
class ScriptedCamera {
public:
    const TempHome& home() const { return home_; }

    // The exit status of a run with the script given as a file; its messages go to errors().
    int runScript(const std::string& script) {
        const auto file = home_.root() / "script.txt";
        TempHome::writeText(file, script);
        return runCommand(std::string(MORVANE_BINARY) + " --headless --camera scene --home " +
                          home_.root().string() + " --script " + file.string());
    }
    // The exit status of a shell command line, its standard error kept for errors().
    int runCommand(const std::string& command) {
        const int status =
            std::system((command + " 2>" + (home_.root() / "stderr.txt").string()).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string errors() const { return TempHome::readText(home_.root() / "stderr.txt"); }

    // n prints, newest first, named 1000+n.jpg down to 1001.jpg, each with both files.
    void seedPrints(int n) {
        std::vector<platform::PropertyList> prints;
        std::filesystem::create_directories(home_.documents());
        const auto picture = platform::Image::fromPixels(
            250, 250, std::vector<std::uint32_t>(250 * 250, 0xFF808080u));
        for (int i = n; i >= 1; --i) {
            const std::string name = std::to_string(1000 + i) + ".jpg";
            picture->writeJpeg(home_.documents() / name, 1.0);
            picture->writeJpeg(home_.documents() / ("big_" + name), 1.0);
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        platform::PropertyList::array(prints).writeFile(home_.documents() / "prints.plist");
    }

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
    // Full-size prints in the photo album: one for every print ever made here.
    std::size_t albumCount() const {
        const auto album = home_.root() / "Pictures" / "Morvane";
        std::error_code ec;
        if (!std::filesystem::is_directory(album, ec))
            return 0;
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(album),
                                                      std::filesystem::directory_iterator()));
    }

private:
    TempHome home_;
};
