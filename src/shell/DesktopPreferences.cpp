#include "shell/DesktopPreferences.h"

#include "capture/SelfTimer.h"

#include <cstdlib>

int DesktopPreferences::selfTimer(const platform::UserDefaults& defaults) {
    return SelfTimer::checkedDelay(defaults.integerForKey(kSelfTimer));
}

bool DesktopPreferences::playsSounds(const platform::UserDefaults& defaults) {
    return !defaults.objectForKey(kPlaysSounds) || defaults.boolForKey(kPlaysSounds);
}

bool DesktopPreferences::showsLookLive(const platform::UserDefaults& defaults) {
    return defaults.boolForKey(kShowsLookLive);
}

std::string DesktopPreferences::printer(const platform::UserDefaults& defaults) {
    if (const char* chosen = std::getenv(kPrinterVariable))
        return chosen;
    const auto value = defaults.objectForKey(kPrinter);
    return value && value->isString() ? value->stringValue() : std::string();
}
