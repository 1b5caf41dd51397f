#include "platform/backend/SdlKeyMap.h"

#include "platform/ui/KeyName.h"

#include <SDL.h>

namespace platform {

namespace {

std::optional<std::string> unmodifiedName(SDL_Keycode key) {
    // SDL names a key that types a sign by that sign, unshifted, in the keyboard's layout.
    if (key > ' ' && key < 0x7f) {
        const char sign = static_cast<char>(key);
        return std::string(1,
                           sign >= 'A' && sign <= 'Z' ? static_cast<char>(sign - 'A' + 'a') : sign);
    }
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return "f" + std::to_string(key - SDLK_F1 + 1);
    switch (key) {
    case SDLK_SPACE:
        return "space";
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return "return";
    case SDLK_ESCAPE:
        return "escape";
    case SDLK_TAB:
        return "tab";
    case SDLK_BACKSPACE:
        return "backspace";
    case SDLK_DELETE:
        return "delete";
    case SDLK_INSERT:
        return "insert";
    case SDLK_LEFT:
        return "left";
    case SDLK_RIGHT:
        return "right";
    case SDLK_UP:
        return "up";
    case SDLK_DOWN:
        return "down";
    case SDLK_HOME:
        return "home";
    case SDLK_END:
        return "end";
    case SDLK_PAGEUP:
        return "pageup";
    case SDLK_PAGEDOWN:
        return "pagedown";
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<std::string> SdlKeyMap::keyName(std::int32_t keycode, std::uint16_t modifiers) {
    auto name = unmodifiedName(keycode);
    if (!name)
        return std::nullopt;
    std::string held;
    if (modifiers & KMOD_CTRL)
        held += KeyName::kCtrl;
    if (modifiers & KMOD_ALT)
        held += KeyName::kAlt;
    if (modifiers & KMOD_GUI)
        held += KeyName::kSuper;
    return held + *name;
}

} // namespace platform
