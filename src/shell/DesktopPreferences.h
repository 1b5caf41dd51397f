#pragma once

#include "platform/foundation/UserDefaults.h"

#include <string>

// The preferences the desktop camera adds to its first four: their keys and what a missing or
// unexpected value means, for the camera and `morvane defaults` alike.
class DesktopPreferences {
public:
    static constexpr const char* kSelfTimer = "selfTimer";
    static constexpr const char* kPlaysSounds = "playsSounds";
    static constexpr const char* kShowsLookLive = "showsLookLive";
    static constexpr const char* kPrinter = "printer";
    // Set by --printer; it stands above the preference for the one run.
    static constexpr const char* kPrinterVariable = "MORVANE_PRINTER";

    // Seconds from the shutter to the shot: 0 (off), 3 or 10; any other value is off.
    static int selfTimer(const platform::UserDefaults& defaults);
    // Only an explicit NO silences the camera: a missing key plays its sounds.
    static bool playsSounds(const platform::UserDefaults& defaults);
    // Only an explicit YES shows the live picture through the look: the camera shows it bare,
    // as it always has, unless asked.
    static bool showsLookLive(const platform::UserDefaults& defaults);
    // The paper printer (a CUPS queue or an ipp:// address); empty for none.
    static std::string printer(const platform::UserDefaults& defaults);
};
