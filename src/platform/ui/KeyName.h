#pragma once

#include <string_view>

namespace platform {

// How the platform names a key, for Application::key, the window and scripts alike. A key is
// named by what is printed on it, in lower case: a letter, digit or other sign it types without
// Shift ("a", "7", "/"), or one of space, return, escape, tab, backspace, delete, insert, left,
// right, up, down, home, end, pageup, pagedown and f1 to f12. Control, Alt and the system key
// held with it come before, in that order: "ctrl+q", "ctrl+alt+delete", "super+l". Shift and
// the lock keys are not part of a name, because what they change depends on the keyboard's
// layout. Which names do anything is for the program to decide.
class KeyName {
public:
    static constexpr std::string_view kCtrl = "ctrl+";
    static constexpr std::string_view kAlt = "alt+";
    static constexpr std::string_view kSuper = "super+";

    // True when `name` is a key's name as above.
    static bool isValid(std::string_view name);
};

} // namespace platform
