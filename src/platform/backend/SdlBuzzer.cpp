#include "platform/backend/SdlBuzzer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

namespace platform {

namespace {

// Fades at both ends, in seconds: long enough to keep the edges from clicking.
constexpr double kFade = 0.008;
// Of full scale: a nudge, not an alarm.
constexpr double kLoudness = 0.35;
// How long after the last sample the device stays open (seconds), for what the sound server
// still holds in its own buffers.
constexpr double kTail = 0.2;
// How often to look again while samples are still queued (seconds).
constexpr double kRecheck = 0.05;
constexpr int kMaxSampleRate = 384000;

// Whether trying to open audio can succeed. Without a sound server or a sound card the
// audio libraries print their failures on standard error; a camera without sound should
// stay quiet instead.
bool audioLikelyPresent() {
    if (std::getenv("SDL_AUDIODRIVER") || std::getenv("PULSE_SERVER"))
        return true;
    std::error_code ec;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        const std::filesystem::path dir(runtime);
        if (std::filesystem::exists(dir / "pulse" / "native", ec) ||
            std::filesystem::exists(dir / "pipewire-0", ec))
            return true;
    }
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", ec))
        if (entry.path().filename().string().starts_with("pcm"))
            return true;
    return false;
}

// Straight lines between neighbouring samples: enough for short effects made at another rate.
std::vector<std::int16_t> resampled(const std::vector<std::int16_t>& sound, int from, int to) {
    if (from == to)
        return sound;
    const auto count = static_cast<std::size_t>(static_cast<double>(sound.size()) * to / from);
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * from / to;
        const auto left = std::min(static_cast<std::size_t>(at), sound.size() - 1);
        const auto right = std::min(left + 1, sound.size() - 1);
        const double share = at - static_cast<double>(left);
        out[i] = static_cast<std::int16_t>(
            std::lround(sound[left] * (1 - share) + sound[right] * share));
    }
    return out;
}

} // namespace

SdlBuzzer::~SdlBuzzer() {
    shutdown();
}

std::vector<std::int16_t> SdlBuzzer::samples(int sampleRate) {
    if (sampleRate <= 0 || sampleRate > kMaxSampleRate)
        return {};
    const auto count = static_cast<std::size_t>(std::lround(sampleRate * kDuration));
    std::vector<std::int16_t> out(count);
    const double fadeSamples = std::max(1.0, kFade * sampleRate);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        // tanh of a sine is a square wave with rounded corners: a motor's rattle without the
        // harsh upper harmonics of a true square.
        const double wave =
            std::tanh(4 * std::sin(2 * std::numbers::pi * kFrequency * t)) / std::tanh(4.0);
        const double fromStart = static_cast<double>(i) / fadeSamples;
        const double fromEnd = static_cast<double>(count - 1 - i) / fadeSamples;
        const double envelope = std::min({1.0, fromStart, fromEnd});
        out[i] = static_cast<std::int16_t>(std::lround(wave * envelope * kLoudness * 32767));
    }
    return out;
}

bool SdlBuzzer::initAudio() {
    if (initTried_)
        return initOk_;
    initTried_ = true;
    initOk_ = audioLikelyPresent() && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return initOk_;
}

void SdlBuzzer::play(double now) {
    play(samples(kSampleRate), kSampleRate, now);
}

void SdlBuzzer::play(const std::vector<std::int16_t>& sound, int sampleRate, double now) {
    if (sound.empty() || sampleRate <= 0 || sampleRate > kMaxSampleRate || !initAudio())
        return;
    if (device_ == 0) {
        SDL_AudioSpec want{};
        want.freq = kSampleRate;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        SDL_AudioSpec have{};
        // At the one rate every sound is made at: SDL converts for the sound card.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        // A device that is busy now may be free at the next buzz: only this one is silent.
        if (device_ == 0)
            return;
    } else {
        // A sound while one still plays starts afresh rather than queueing behind it.
        SDL_ClearQueuedAudio(device_);
    }
    const auto queued = resampled(sound, sampleRate, kSampleRate);
    if (queued.empty() ||
        SDL_QueueAudio(device_, queued.data(), static_cast<Uint32>(queued.size() * 2)) != 0) {
        closeDevice();
        return;
    }
    SDL_PauseAudioDevice(device_, 0);
    closeAt_ = now + static_cast<double>(queued.size()) / kSampleRate + kTail;
}

double SdlBuzzer::update(double now) {
    if (device_ == 0)
        return std::numeric_limits<double>::infinity();
    if (now < closeAt_)
        return closeAt_;
    if (SDL_GetQueuedAudioSize(device_) > 0) {
        closeAt_ = now + kRecheck;
        return closeAt_;
    }
    closeDevice();
    return std::numeric_limits<double>::infinity();
}

void SdlBuzzer::closeDevice() {
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    device_ = 0;
    closeAt_ = std::numeric_limits<double>::infinity();
}

void SdlBuzzer::shutdown() {
    closeDevice();
    if (initOk_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    initOk_ = false;
    initTried_ = false;
}

} // namespace platform
