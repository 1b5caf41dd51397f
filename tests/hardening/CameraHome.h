#pragma once

// A home folder for the camera program and the means to run it there: scripts of prints, and
// the folders, lists and pictures a run leaves behind.

#include "hardening/CameraProcess.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace hardening {

class CameraHome : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "camera-home-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::filesystem::path home() const { return root_ / home_; }
    std::filesystem::path documents() const { return home() / "Documents"; }
    std::filesystem::path album() const { return home() / "Pictures" / "Morvane"; }
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

    std::unique_ptr<CameraProcess> start(const std::string& script, ProcessLimits limits = {}) {
        std::filesystem::create_directories(home());
        const std::filesystem::path file = writeScript(script);
        // The smallest prints (750 pixels) keep the runs short.
        return std::make_unique<CameraProcess>(
            std::vector<std::string>{"--headless", "--camera", "scene", "--model", "default",
                                     "--home", home().string(), "--script", file.string()},
            root_ / "errors.txt", limits);
    }
    int run(const std::string& script, ProcessLimits limits = {}) {
        auto camera = start(script, limits);
        const int status = camera->wait();
        errors_ = camera->errors();
        peakResident_ = camera->peakResidentKilobytes();
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
    std::filesystem::path writeScript(const std::string& script) {
        const std::filesystem::path file =
            root_ / ("script-" + std::to_string(++scripts_) + ".txt");
        std::ofstream(file) << script;
        return file;
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

    std::filesystem::path root_;
    std::string home_ = "home";
    int scripts_ = 0;
    std::string errors_;
    long peakResident_ = 0;
};

} // namespace hardening
