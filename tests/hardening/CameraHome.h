#pragma once

// The camera program run headless in a home of its own, as the hardening tests run it: scripts
// of prints, and the folders, lists and pictures a run leaves behind.

#include "support/ScriptedCamera.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace hardening {

class CameraHome : public ::testing::Test {
protected:
    std::filesystem::path home() const { return camera_.home().root(); }
    std::filesystem::path documents() const { return camera_.home().documents(); }
    std::filesystem::path album() const { return camera_.album(); }
    std::filesystem::path configFile() const { return documents() / "config.plist"; }
    std::filesystem::path printsFile() const { return documents() / "prints.plist"; }

    // Prints in a row through the shutter key, each given time to develop and drop, then the
    // end of the run as closing the window ends it.
    static std::string printsScript(int count, const std::string& end = "quit\n") {
        std::ostringstream script;
        for (int i = 0; i < count; ++i) {
            script << "key space\nwait 3\n";
        }
        script << end;
        return script.str();
    }

    // The smallest prints (750 pixels) keep the runs short.
    static HeadlessOptions smallPrints(ProcessLimits limits) {
        HeadlessOptions options;
        options.model = "default";
        options.limits = limits;
        return options;
    }
    std::unique_ptr<CameraProcess> start(const std::string& script, ProcessLimits limits = {}) {
        return camera_.start(script, smallPrints(limits));
    }
    int run(const std::string& script, ProcessLimits limits = {}) {
        const int status = camera_.runScript(script, smallPrints(limits));
        errors_ = camera_.errors();
        return status;
    }

    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The pictures in a folder, leaving out the hidden temporaries of writes in progress.
    static std::vector<std::filesystem::path> pictures(const std::filesystem::path& folder) {
        std::vector<std::filesystem::path> found;
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name[0] != '.' && it->path().extension() == ".jpg") {
                found.push_back(it->path());
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    // Every print file and album picture on disk decodes as a whole picture.
    static void expectReadable(const std::vector<std::filesystem::path>& files) {
        for (const auto& file : files) {
            EXPECT_NE(platform::Image::contentsOfFile(file), nullptr) << file;
        }
    }
    // Small print files in Documents with their full-size file that no entry of the list names.
    std::vector<std::string> unlistedPrints(const platform::PropertyList& prints) const {
        std::vector<std::string> unlisted;
        for (const auto& file : pictures(documents())) {
            const std::string name = file.filename().string();
            if (name.rfind("big_", 0) == 0 ||
                !std::filesystem::exists(documents() / ("big_" + name)))
                continue;
            const auto& entries = prints.array();
            if (std::none_of(entries.begin(), entries.end(), [&](const platform::PropertyList& e) {
                    return e[0].stringValue() == name;
                }))
                unlisted.push_back(name);
        }
        return unlisted;
    }
    // Every file of a folder by name, with its bytes.
    static std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
        std::map<std::string, std::string> files;
        for (const auto& item : std::filesystem::directory_iterator(folder))
            files[item.path().filename().string()] = read(item.path());
        return files;
    }
    static std::optional<platform::PropertyList> list(const std::filesystem::path& file) {
        return platform::PropertyList::readFile(file);
    }
    static std::size_t lines(const std::string& text, const std::string& containing) {
        std::size_t count = 0;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            count += line.find(containing) != std::string::npos;
        }
        return count;
    }

    ScriptedCamera camera_;
    std::string errors_;
};

} // namespace hardening
