#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Something on screen that a script can answer in place of a user: an open picker or an
// alert. Each call returns false with a message in `error` when it cannot do what is asked
// (e.g. an alert asked to pick a picture).
class ScriptResponder {
public:
    virtual ~ScriptResponder() = default;
    virtual bool pick(const std::filesystem::path& path, std::string& error) = 0;
    virtual bool cancel(std::string& error) = 0;
    virtual bool pressAlertButton(int index, std::string& error) = 0;
};

} // namespace platform
