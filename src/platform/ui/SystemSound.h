#pragma once

namespace platform {

// The system sounds the camera plays. Only the vibration exists here: the application counts
// it and hands it to the window, which shakes its picture and buzzes.
class SystemSound {
public:
    static constexpr int kVibrate = 4095;

    // Plays a system sound by its number. Other numbers than the vibration have no sound to
    // play and are ignored, as is everything when no application exists.
    static void play(int soundId);
    // Vibrations played in this application so far.
    static int vibrationCount();
};

} // namespace platform
