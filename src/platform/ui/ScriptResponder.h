#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Something modal on screen that a script or the keyboard answers in place of a finger: an
// open picker or an alert. While one is in front it answers Escape and Return, and is asked
// first about every other key (Application::key). Each script call returns false with a
// message in `error` when it cannot do what is asked (e.g. an alert asked to pick a picture).
class ScriptResponder {
public:
    virtual ~ScriptResponder() = default;
    virtual bool pick(const std::filesystem::path& path, std::string& error) = 0;
    virtual bool cancel(std::string& error) = 0;
    virtual bool pressAlertButton(int index, std::string& error) = 0;
    // Escape and Return: what the responder's cancel and default controls do, if it has
    // them. True when something was done.
    virtual bool pressCancelKey() = 0;
    virtual bool pressDefaultKey() = 0;
    // Any other key by its name (KeyName): true when the responder took it, and then it goes
    // no further.
    virtual bool pressOtherKey(const std::string&) { return false; }
};

} // namespace platform
