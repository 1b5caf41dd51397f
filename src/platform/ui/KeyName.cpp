#include "platform/ui/KeyName.h"

#include <algorithm>
#include <array>
#include <string>

namespace platform {

namespace {

constexpr std::array<std::string_view, 15> kNamedKeys = {
    "space", "return", "escape", "tab",  "backspace", "delete", "insert",  "left",
    "right", "up",     "down",   "home", "end",       "pageup", "pagedown"};

bool isFunctionKey(std::string_view key) {
    for (int n = 1; n <= 12; ++n)
        if (key == "f" + std::to_string(n))
            return true;
    return false;
}

void dropPrefix(std::string_view& name, std::string_view prefix) {
    if (name.starts_with(prefix))
        name.remove_prefix(prefix.size());
}

} // namespace

bool KeyName::isValid(std::string_view name) {
    // The modifiers only in their one order, so that each combination has a single name.
    dropPrefix(name, kCtrl);
    dropPrefix(name, kAlt);
    dropPrefix(name, kSuper);
    if (name.size() == 1) {
        const char sign = name.front();
        return sign > ' ' && sign < '\x7f' && !(sign >= 'A' && sign <= 'Z');
    }
    return std::find(kNamedKeys.begin(), kNamedKeys.end(), name) != kNamedKeys.end() ||
           isFunctionKey(name);
}

} // namespace platform
