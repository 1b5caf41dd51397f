#pragma once

#include "platform/backend/ScriptCommand.h"

#include <vector>

namespace platform {

// A whole script, parsed (by ScriptParser) before anything runs, one command a line:
//   tap X Y               a touch down and, 0.1 s later, up at that screen point
//   swipe X1 Y1 X2 Y2     a drag over 0.25 s in ten moves, then release
//   scroll X Y DX DY      the mouse wheel at that point, DX notches right and DY down
//                         (negative: left, up); parts of a notch are a touchpad's
//   key NAME              a key by its name (KeyName), any case
//   wait SECONDS          let that much time pass
//   pick PATH             choose that picture in the open picker
//   cancel                cancel the open picker
//   alert INDEX           press button INDEX of the open alert
//   shot PATH.png         save the screen, 320 by 480 pixels
//   quit                  quit as closing the window does
// "#" starts a comment; blank lines are skipped; PATH is the rest of the line.
class Script {
public:
    Script() = default;
    explicit Script(std::vector<ScriptCommand> commands) : commands_(std::move(commands)) {}

    const std::vector<ScriptCommand>& commands() const { return commands_; }
    bool empty() const { return commands_.empty(); }

private:
    std::vector<ScriptCommand> commands_;
};

} // namespace platform
