#include "platform/backend/SdlKeyMap.h"

#include <SDL.h>

namespace platform {

std::optional<std::string> SdlKeyMap::shortcutName(std::int32_t keycode, std::uint16_t modifiers) {
    if (modifiers & (KMOD_CTRL | KMOD_ALT | KMOD_GUI))
        return std::nullopt;
    switch (keycode) {
    case SDLK_SPACE:
        return "space";
    case SDLK_c:
        return "c";
    case SDLK_l:
        return "l";
    case SDLK_r:
        return "r";
    case SDLK_m:
        return "m";
    case SDLK_LEFT:
        return "left";
    case SDLK_RIGHT:
        return "right";
    case SDLK_UP:
        return "up";
    case SDLK_DOWN:
        return "down";
    case SDLK_ESCAPE:
        return "escape";
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return "return";
    default:
        return std::nullopt;
    }
}

} // namespace platform
