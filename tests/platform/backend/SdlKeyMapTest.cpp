#include "platform/backend/SdlKeyMap.h"
#include "platform/ui/KeyName.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace platform;

TEST(SdlKeyMap, NamesEveryKeyAsItIsPrintedAndShiftChangesNothing) {
    const std::vector<std::pair<SDL_Keycode, std::string>> keys = {
        {SDLK_SPACE, "space"},
        {SDLK_c, "c"},
        {SDLK_z, "z"},
        {SDLK_7, "7"},
        {SDLK_SLASH, "/"},
        {SDLK_QUESTION, "?"},
        {SDLK_LEFT, "left"},
        {SDLK_DOWN, "down"},
        {SDLK_ESCAPE, "escape"},
        {SDLK_RETURN, "return"},
        {SDLK_KP_ENTER, "return"},
        {SDLK_F1, "f1"},
        {SDLK_F11, "f11"},
        {SDLK_F12, "f12"},
        {SDLK_PAGEDOWN, "pagedown"},
        {SDLK_HOME, "home"},
        {SDLK_DELETE, "delete"},
        {SDLK_BACKSPACE, "backspace"},
    };
    for (const auto& [key, name] : keys) {
        EXPECT_EQ(SdlKeyMap::keyName(key, KMOD_NONE), name) << SDL_GetKeyName(key);
        EXPECT_TRUE(KeyName::isValid(name)) << name;
        // What Shift and the lock keys change depends on the layout; the name stays.
        EXPECT_EQ(SdlKeyMap::keyName(key, KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS), name);
    }
    // A modifier on its own, and a sign outside ASCII, have no name.
    EXPECT_FALSE(SdlKeyMap::keyName(SDLK_LCTRL, KMOD_LCTRL));
    EXPECT_FALSE(SdlKeyMap::keyName(SDLK_RSHIFT, KMOD_RSHIFT));
    EXPECT_FALSE(SdlKeyMap::keyName(0xE9, KMOD_NONE));
}

TEST(SdlKeyMap, ControlAltAndTheSystemKeyComeFirstInOneOrder) {
    EXPECT_EQ(SdlKeyMap::keyName(SDLK_q, KMOD_LCTRL), "ctrl+q");
    EXPECT_EQ(SdlKeyMap::keyName(SDLK_r, KMOD_RALT), "alt+r");
    EXPECT_EQ(SdlKeyMap::keyName(SDLK_SPACE, KMOD_LGUI), "super+space");
    EXPECT_EQ(SdlKeyMap::keyName(SDLK_KP_ENTER, KMOD_LALT), "alt+return");
    const auto all =
        SdlKeyMap::keyName(SDLK_DELETE, KMOD_RGUI | KMOD_LALT | KMOD_RCTRL | KMOD_SHIFT);
    EXPECT_EQ(all, "ctrl+alt+super+delete");
    EXPECT_TRUE(KeyName::isValid(*all));
}

TEST(KeyName, RefusesWhatNoKeyIsCalled) {
    for (const char* name : {"", "enter", "Q", "f0", "f13", "ctrl+", "shift+a", "alt+ctrl+q",
                             "ctrl+ctrl+q", "space ", "ab"})
        EXPECT_FALSE(KeyName::isValid(name)) << '"' << name << '"';
    for (const char* name : {"q", "+", "ctrl++", "f10", "super+l", "ctrl+alt+pageup"})
        EXPECT_TRUE(KeyName::isValid(name)) << name;
}
