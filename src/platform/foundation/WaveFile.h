#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Sounds as RIFF WAVE files of 16-bit PCM, the one format the camera's own sounds are written
// in. Reading takes mono or stereo (mixed down to mono) at any rate; nothing compressed.
class WaveFile {
public:
    struct Sound {
        int sampleRate = 0;
        std::vector<std::int16_t> samples;
    };

    // Refuses a file that is not 16-bit PCM WAVE, or whose chunks run past its end, saying
    // why in `error`.
    static std::optional<Sound> read(const std::filesystem::path& file, std::string& error);
    // Mono 16-bit PCM; false when the file cannot be written whole.
    static bool write(const std::filesystem::path& file, const Sound& sound);
};

} // namespace platform
