#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

// A fresh home folder for one test: MORVANE_HOME points into it while the object lives, so
// Documents, preferences and pictures never touch the user's own. Other variables set through
// it (MORVANE_RESOURCES, MORVANE_MODEL) are put back as they were, too.
class TempHome {
public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-test-XXXXXX");
        if (char* made = mkdtemp(pattern.data()))
            root_ = made;
        setEnv("MORVANE_HOME", root_.string());
    }
    ~TempHome() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path documents() const { return root_ / "Documents"; }

    void setEnv(const std::string& name, const std::string& value) {
        remember(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void unsetEnv(const std::string& name) {
        remember(name);
        unsetenv(name.c_str());
    }

    static void writeText(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string readText(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    void remember(const std::string& name) {
        if (saved_.count(name))
            return;
        const char* value = std::getenv(name.c_str());
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }

    std::filesystem::path root_;
    std::map<std::string, std::optional<std::string>> saved_;
};
