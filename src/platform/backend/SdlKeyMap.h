#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The window's keys by the names Application::key takes (KeyName).
class SdlKeyMap {
public:
    // The name of an SDL key code pressed with the modifier keys held, or nothing for a key
    // that has no name: a modifier on its own, or a key typing a sign outside ASCII.
    static std::optional<std::string> keyName(std::int32_t keycode, std::uint16_t modifiers);
};

} // namespace platform
