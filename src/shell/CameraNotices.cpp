#include "shell/CameraNotices.h"

namespace {

// The screen's text calls read Mac Roman bytes; a name from the system may be any UTF-8, so
// each character beyond ASCII shows as a question mark rather than as wrong letters.
std::string plain(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += byte >= 0x20 ? text[i] : ' ';
            continue;
        }
        out += '?';
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
            ++i;
    }
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
        return "The camera is gone\n" + plain(status.camera) + ": " + plain(status.reason) +
               "\n\nPlug a camera in, or press V for the next one";
    case Kind::Missing:
        return "No camera " + quoted(plain(status.camera)) + "\nThis is the built-in scene";
    default:
        return {};
    }
}
