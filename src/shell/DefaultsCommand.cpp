#include "shell/DefaultsCommand.h"

#include "capture/SelfTimer.h"
#include "shell/DesktopPreferences.h"
#include "shell/HelpFormatter.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace {

constexpr std::array<const char*, 8> kKeys = {"skin",
                                              "canVibrate",
                                              "canDate",
                                              "isHighQuality",
                                              DesktopPreferences::kSelfTimer,
                                              DesktopPreferences::kPlaysSounds,
                                              DesktopPreferences::kShowsLookLive,
                                              DesktopPreferences::kPrinter};
constexpr const char* kUsage = "usage: morvane defaults read|write|delete [KEY [VALUE]]";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string keyList() {
    std::string list;
    for (const char* key : kKeys)
        list += (list.empty() ? "" : ", ") + std::string(key);
    return list;
}

// The exact key, or none with a message that names the keys (and the likely one, when only
// the letter case is off).
std::optional<std::string> checkedKey(const std::string& key, std::ostream& err) {
    for (const char* known : kKeys) {
        if (key == known)
            return key;
    }
    err << "morvane defaults: unknown key \"" << key << "\"";
    for (const char* known : kKeys) {
        if (lowered(key) == lowered(known))
            err << " (did you mean \"" << known << "\"?)";
    }
    err << ";\n" << HelpFormatter::wrap("the keys are " + keyList(), HelpFormatter::kWidth) << "\n";
    return std::nullopt;
}

std::optional<bool> parsedBoolean(const std::string& text) {
    const std::string value = lowered(text);
    if (value == "yes" || value == "true" || value == "1")
        return true;
    if (value == "no" || value == "false" || value == "0")
        return false;
    return std::nullopt;
}

std::optional<long long> parsedInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<platform::PropertyList> checkedValue(const std::string& key, const std::string& text,
                                                   std::ostream& err) {
    if (key == "skin") {
        const int skins = DefaultsCommand::shippedSkinCount();
        const std::optional<long long> skin = parsedInteger(text);
        if (skins == 0) {
            err << "morvane defaults: no skins found in\n  "
                << platform::Bundle::main().resourceDirectory().string()
                << "\n(frame0.png is missing), so \"skin\" cannot be checked\n";
            return std::nullopt;
        }
        if (!skin || *skin < 0 || *skin >= skins) {
            err << "morvane defaults: \"skin\" takes a whole number from 0 to " << skins - 1
                << "\n(" << skins << " skins are shipped), not \"" << text << "\"\n";
            return std::nullopt;
        }
        return platform::PropertyList::integer(*skin);
    }
    if (key == DesktopPreferences::kSelfTimer) {
        const std::optional<long long> seconds = parsedInteger(text);
        if (!seconds || SelfTimer::checkedDelay(*seconds) != *seconds) {
            err << "morvane defaults: \"" << key << "\" takes 0 (off), 3 or 10 seconds, not \""
                << text << "\"\n";
            return std::nullopt;
        }
        return platform::PropertyList::integer(*seconds);
    }
    if (key == DesktopPreferences::kPrinter) {
        // Anything CUPS may name a queue is taken; an address needs at least its host.
        if (text.empty() || text == "ipp://" || text == "ipps://") {
            err << "morvane defaults: \"printer\" takes a CUPS queue name (morvane printers\n"
                   "lists them) or an address such as ipp://host:631/ipp/print\n";
            return std::nullopt;
        }
        return platform::PropertyList::string(text);
    }
    const std::optional<bool> flag = parsedBoolean(text);
    if (!flag) {
        err << "morvane defaults: \"" << key << "\" takes YES or NO (also true/false, 1/0),\nnot \""
            << text << "\"\n";
        return std::nullopt;
    }
    return platform::PropertyList::boolean(*flag);
}

// The value as the camera reads it, so that `read` never disagrees with what a launch sees.
std::string effectiveValue(const platform::UserDefaults& defaults, const std::string& key) {
    if (key == "skin")
        return std::to_string(defaults.integerForKey(key));
    if (key == DesktopPreferences::kSelfTimer)
        return std::to_string(DesktopPreferences::selfTimer(defaults));
    if (key == DesktopPreferences::kPlaysSounds)
        return DesktopPreferences::playsSounds(defaults) ? "YES" : "NO";
    if (key == DesktopPreferences::kPrinter) {
        const auto value = defaults.objectForKey(key);
        return value && value->isString() ? value->stringValue() : std::string("(none)");
    }
    return defaults.boolForKey(key) ? "YES" : "NO";
}

int read(const platform::UserDefaults& defaults, const std::vector<std::string>& arguments,
         std::ostream& out, std::ostream& err) {
    if (arguments.size() > 2) {
        err << "morvane defaults: read takes at most one key\n" << kUsage << "\n";
        return 2;
    }
    if (arguments.size() == 2) {
        const auto key = checkedKey(arguments[1], err);
        if (!key)
            return 2;
        out << effectiveValue(defaults, *key) << "\n";
        return 0;
    }
    for (const char* key : kKeys) {
        out << key << " = " << effectiveValue(defaults, key);
        if (!defaults.objectForKey(key))
            out << " (not set)";
        out << "\n";
    }
    return 0;
}

int save(platform::UserDefaults& defaults, std::ostream& err) {
    if (defaults.synchronize())
        return 0;
    err << "morvane defaults: cannot write " << platform::Directories::preferencesFile().string()
        << "\n";
    return 1;
}

int write(platform::UserDefaults& defaults, const std::vector<std::string>& arguments,
          std::ostream& err) {
    if (arguments.size() != 3) {
        err << "morvane defaults: write takes a key and a value\n" << kUsage << "\n";
        return 2;
    }
    const auto key = checkedKey(arguments[1], err);
    if (!key)
        return 2;
    const auto value = checkedValue(*key, arguments[2], err);
    if (!value)
        return 2;
    defaults.setObjectForKey(*value, *key);
    return save(defaults, err);
}

int remove(platform::UserDefaults& defaults, const std::vector<std::string>& arguments,
           std::ostream& err) {
    if (arguments.size() > 2) {
        err << "morvane defaults: delete takes at most one key\n" << kUsage << "\n";
        return 2;
    }
    if (arguments.size() == 2) {
        const auto key = checkedKey(arguments[1], err);
        if (!key)
            return 2;
        defaults.removeObjectForKey(*key);
    } else {
        for (const char* key : kKeys)
            defaults.removeObjectForKey(key);
    }
    return save(defaults, err);
}

} // namespace

int DefaultsCommand::shippedSkinCount() {
    int count = 0;
    while (platform::Bundle::main().pathForResource("frame" + std::to_string(count), "png"))
        ++count;
    return count;
}

int DefaultsCommand::run(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err) {
    if (arguments.empty()) {
        err << "morvane defaults: say read, write or delete\n" << kUsage << "\n";
        return 2;
    }
    platform::UserDefaults defaults = platform::UserDefaults::standard();
    const std::string& action = arguments[0];
    if (action == "read")
        return read(defaults, arguments, out, err);
    if (action == "write")
        return write(defaults, arguments, err);
    if (action == "delete")
        return remove(defaults, arguments, err);
    err << "morvane defaults: unknown action \"" << action << "\"\n" << kUsage << "\n";
    return 2;
}
