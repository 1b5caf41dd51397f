#include "shell/CameraNotices.h"

namespace {

// A name from the system may hold anything; a control character would break the notice's lines
// where nobody meant to, so it shows as a space. Every script is drawn as it is.
std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return out;
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

} // namespace

std::string CameraNotices::line(const platform::CameraStatus& status) {
    using Kind = platform::CameraStatus::Kind;
    switch (status.kind) {
    case Kind::Live:
        return {};
    case Kind::Gone:
        return "morvane: the camera " + quoted(status.camera) + " is gone (" + status.reason +
               "); waiting for a camera, V switches to the next one";
    case Kind::Missing: {
        std::string found;
        for (const std::string& name : status.available)
            found += (found.empty() ? "" : ", ") + quoted(name);
        return "morvane: no camera " + quoted(status.camera) + " (" +
               (found.empty() ? std::string("no camera found") : "found: " + found) +
               "; morvane --camera list); showing the built-in scene";
    }
    case Kind::NotStarted:
        return "morvane: the camera " + quoted(status.camera) + " did not start (" + status.reason +
               ")";
    }
    return {};
}

std::string CameraNotices::screenText(const platform::CameraStatus& status) {
    using Kind = platform::CameraStatus::Kind;
    switch (status.kind) {
    case Kind::Gone:
        return "The camera is gone\n" + oneLine(status.camera) + ": " + oneLine(status.reason) +
               "\n\nPlug a camera in, or press V for the next one";
    case Kind::Missing:
        return "No camera " + quoted(oneLine(status.camera)) + "\nThis is the built-in scene";
    default:
        return {};
    }
}
