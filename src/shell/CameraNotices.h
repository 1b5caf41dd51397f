#pragma once

#include "platform/camera/CameraStatus.h"

#include <string>

// The camera's words about where its pictures come from: one line on standard error for each
// change a user should know of, and what the picture area says meanwhile.
class CameraNotices {
public:
    // The screen's own lettering (the bundled hand-lettered face).
    static constexpr const char* kFontName = "MarkerFelt-Wide";

    // The line for standard error, without its newline; empty for a change that needs none
    // (a camera starting to show its picture).
    static std::string line(const platform::CameraStatus& status);
    // What the picture area says, in UTF-8; empty while the picture is simply live. Names and
    // reasons keep their own script.
    static std::string screenText(const platform::CameraStatus& status);
};
