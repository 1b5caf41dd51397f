// Writes the camera's sounds into a resource folder: `morvane_sounds DIR`. They are made
// here, at build time, from a few numbers, like the artwork: nothing recorded is shipped.
#include "platform/foundation/WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>

namespace {

constexpr int kSampleRate = 48000;

// The shutter: the blades snapping open and, a moment later, shut. Each snap is a burst of
// noise, darkened by a one-pole filter and dying away in a few milliseconds, over a short
// low knock of the body. The noise comes from a fixed generator, so every build writes the
// same file.
platform::WaveFile::Sound shutter() {
    constexpr double kLength = 0.16; // seconds
    constexpr double kSnaps[] = {0.0, 0.075};
    constexpr double kSnapLoudness[] = {0.55, 0.4};
    platform::WaveFile::Sound sound;
    sound.sampleRate = kSampleRate;
    sound.samples.resize(static_cast<std::size_t>(kLength * kSampleRate));
    std::uint32_t state = 0x2545f491u;
    double filtered = 0;
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        state = state * 1664525u + 1013904223u;
        const double noise = static_cast<double>(state >> 8) / (1u << 24) * 2 - 1;
        filtered += 0.45 * (noise - filtered);
        double value = 0;
        for (int snap = 0; snap < 2; ++snap) {
            const double since = t - kSnaps[snap];
            if (since < 0)
                continue;
            const double knock =
                std::sin(2 * std::numbers::pi * 180 * since) * std::exp(-since / 0.012);
            value += kSnapLoudness[snap] * (filtered * std::exp(-since / 0.004) + 0.5 * knock);
        }
        // A short fade at the very end, so the last sample meets silence without a click.
        const double toEnd =
            static_cast<double>(sound.samples.size() - 1 - i) / (0.005 * kSampleRate);
        value *= std::min(1.0, toEnd);
        sound.samples[i] =
            static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
    }
    return sound;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane_sounds DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!platform::WaveFile::write(folder / "shutter.wav", shutter())) {
        std::fprintf(stderr, "morvane_sounds: cannot write %s\n", (folder / "shutter.wav").c_str());
        return 1;
    }
    return 0;
}
