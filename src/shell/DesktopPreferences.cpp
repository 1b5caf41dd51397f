#include "shell/DesktopPreferences.h"

#include "capture/SelfTimer.h"

int DesktopPreferences::selfTimer(const platform::UserDefaults& defaults) {
    return SelfTimer::checkedDelay(defaults.integerForKey(kSelfTimer));
}

bool DesktopPreferences::playsSounds(const platform::UserDefaults& defaults) {
    return !defaults.objectForKey(kPlaysSounds) || defaults.boolForKey(kPlaysSounds);
}

bool DesktopPreferences::showsLookLive(const platform::UserDefaults& defaults) {
    return defaults.boolForKey(kShowsLookLive);
}
