#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace platform {

// The window's sounds through SDL audio, where there is audio at all: the vibration's short
// low buzz, and the camera's own sounds handed in as samples. The audio device is opened for each
// buzz and closed once it has played, because an open SDL device keeps its audio thread running
// even in silence, and an idle camera should cost nothing. Main thread only.
class SdlBuzzer {
public:
    // Seconds.
    static constexpr double kDuration = 0.15;
    // Hertz: low enough to sound like a motor rather than a tone.
    static constexpr double kFrequency = 100;
    static constexpr int kSampleRate = 48000;

    SdlBuzzer() = default;
    ~SdlBuzzer();
    SdlBuzzer(const SdlBuzzer&) = delete;
    SdlBuzzer& operator=(const SdlBuzzer&) = delete;

    // The buzz as signed 16-bit mono samples at `sampleRate` (per second): a square wave with
    // its corners rounded and short fades at both ends, so it neither clicks nor shrills.
    // Empty for a rate that is not positive or absurdly high.
    static std::vector<std::int16_t> samples(int sampleRate);

    // Starts a buzz at `now` (seconds); silent when no audio can be opened, and from then on.
    void play(double now);
    // Starts a sound (mono samples at `sampleRate` a second) at `now`, as a buzz is started.
    void play(const std::vector<std::int16_t>& sound, int sampleRate, double now);
    // Closes the device once the buzz has been heard. Returns when it wants to be called
    // again (seconds), or infinity when it has nothing left to do.
    double update(double now);
    // Closes the device and the audio subsystem at once.
    void shutdown();

    bool isPlaying() const { return device_ != 0; }
    // False once opening audio has failed: later buzzes are silent without trying again.
    bool isAudioUsable() const { return !initTried_ || initOk_; }

private:
    bool initAudio();
    void closeDevice();

    bool initTried_ = false;
    bool initOk_ = false;
    std::uint32_t device_ = 0;
    double closeAt_ = std::numeric_limits<double>::infinity();
};

} // namespace platform
