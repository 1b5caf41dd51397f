#pragma once

#include "platform/graphics/Geometry.h"

#include <string>

namespace platform {

// One line of a script, checked and ready to run.
struct ScriptCommand {
    enum class Kind { Tap, Swipe, Scroll, Key, Wait, Pick, Cancel, Alert, Shot, Quit };

    Kind kind = Kind::Quit;
    // 1-based line in the script, for messages.
    int line = 0;
    // Tap and Scroll: from. Swipe: from and to. Screen points.
    Point from;
    Point to;
    // Scroll: wheel notches across and down.
    Point notches;
    // Wait: seconds. Alert: the button index.
    double seconds = 0;
    int index = 0;
    // Key: the key name. Pick and Shot: the path.
    std::string text;
};

} // namespace platform
