#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Which of the window's keys are the camera's shortcuts, by the names Application::key takes.
class SdlKeyMap {
public:
    // The shortcut for an SDL key code with the modifier keys held, if any. A key held with
    // Control, Alt or the system key is left to the desktop; Shift and the lock keys do not
    // matter.
    static std::optional<std::string> shortcutName(std::int32_t keycode, std::uint16_t modifiers);
};

} // namespace platform
