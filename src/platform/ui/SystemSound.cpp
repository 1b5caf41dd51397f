#include "platform/ui/SystemSound.h"

#include "platform/ui/Application.h"

namespace platform {

void SystemSound::play(int soundId) {
    if (soundId == kVibrate && Application::exists())
        Application::shared().vibrate();
}

int SystemSound::vibrationCount() {
    return Application::exists() ? Application::shared().vibrationCount() : 0;
}

} // namespace platform
