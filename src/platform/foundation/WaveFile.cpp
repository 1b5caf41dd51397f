#include "platform/foundation/WaveFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

// A sound longer than this is no shutter click: a file claiming more is refused rather than
// read into memory.
constexpr std::size_t kMaxBytes = 16u << 20;

std::uint32_t little32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t little16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
}

} // namespace

std::optional<WaveFile::Sound> WaveFile::read(const std::filesystem::path& file,
                                              std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot be opened";
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size > kMaxBytes) {
        error = "is larger than a sound the camera plays";
        return std::nullopt;
    }
    in.seekg(0);
    std::vector<unsigned char> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (size < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "is not a WAVE file";
        return std::nullopt;
    }
    int channels = 0;
    Sound sound;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= size;) {
        const unsigned char* chunk = bytes.data() + at;
        const std::size_t length = little32(chunk + 4);
        if (length > size - at - 8) {
            error = "is cut short";
            return std::nullopt;
        }
        const unsigned char* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
            const int format = little16(body), bits = little16(body + 14);
            channels = little16(body + 2);
            sound.sampleRate = static_cast<int>(little32(body + 4));
            if (format != 1 || bits != 16 || channels < 1 || channels > 2 ||
                sound.sampleRate <= 0) {
                error = "is not 16-bit PCM in one or two channels";
                return std::nullopt;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = "has its samples before their format";
                return std::nullopt;
            }
            const std::size_t frames = length / (2u * channels);
            sound.samples.resize(frames);
            for (std::size_t i = 0; i < frames; ++i) {
                int sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += static_cast<std::int16_t>(little16(body + 2 * (i * channels + c)));
                sound.samples[i] = static_cast<std::int16_t>(sum / channels);
            }
            return sound;
        }
        // Chunks are padded to an even length.
        at += 8 + length + (length & 1);
    }
    error = "has no samples";
    return std::nullopt;
}

bool WaveFile::write(const std::filesystem::path& file, const Sound& sound) {
    const auto dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, static_cast<std::uint32_t>(sound.sampleRate));
    put32(out, static_cast<std::uint32_t>(sound.sampleRate * 2));
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (const std::int16_t sample : sound.samples)
        put16(out, static_cast<std::uint16_t>(sample));
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
    stream.close();
    return static_cast<bool>(stream);
}

} // namespace platform
