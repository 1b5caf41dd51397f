#include "TestSupport.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/WaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using platform::WaveFile;

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(WaveFile, WhatIsWrittenReadsBackSampleForSample) {
    testing_support::TemporaryFolder folder;
    WaveFile::Sound sound{22050, {0, 1, -1, 32767, -32768, 1234, -4321}};
    ASSERT_TRUE(WaveFile::write(folder.path() / "a.wav", sound));
    std::string error;
    const auto back = WaveFile::read(folder.path() / "a.wav", error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->sampleRate, 22050);
    EXPECT_EQ(back->samples, sound.samples);

    // Two channels are heard as one; a chunk before the samples is stepped over, padding
    // included.
    std::string stereo = bytesOf(folder.path() / "a.wav");
    stereo.replace(22, 2, std::string("\x02\x00", 2));
    stereo.insert(36, std::string("LIST\x03\x00\x00\x00xyz\x00", 12));
    writeBytes(folder.path() / "b.wav", stereo);
    const auto mixed = WaveFile::read(folder.path() / "b.wav", error);
    ASSERT_TRUE(mixed) << error;
    // Pairs of the samples above: (0,1) (-1,32767) (-32768,1234); the odd one out is dropped.
    EXPECT_EQ(mixed->samples, (std::vector<std::int16_t>{0, 16383, -15767}));
}

TEST(WaveFile, BrokenFilesAreRefusedWithTheReason) {
    testing_support::TemporaryFolder folder;
    ASSERT_TRUE(
        WaveFile::write(folder.path() / "good.wav", {48000, std::vector<std::int16_t>(100, 7)}));
    const std::string good = bytesOf(folder.path() / "good.wav");
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "is not a WAVE file"},
        {"text", "hello, this is not a sound at all", "is not a WAVE file"},
        {"cut short", good.substr(0, good.size() - 10), "is cut short"},
        {"eight bits", std::string(good).replace(34, 2, std::string("\x08\x00", 2)),
         "is not 16-bit PCM in one or two channels"},
        {"no samples", good.substr(0, 36), "has no samples"},
    };
    for (const Case& c : cases) {
        writeBytes(folder.path() / "x.wav", c.bytes);
        std::string error;
        EXPECT_FALSE(WaveFile::read(folder.path() / "x.wav", error)) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
    std::string error;
    EXPECT_FALSE(WaveFile::read(folder.path() / "missing.wav", error));
    EXPECT_EQ(error, "cannot be opened");
}

// The shutter's sound the build makes: short, and starting and ending quietly enough not to
// click, without clipping.
TEST(WaveFile, TheShippedShutterSoundIsAShortCleanClick) {
    const auto file = platform::Bundle::main().pathForResource("shutter", "wav");
    ASSERT_TRUE(file) << "the build writes shutter.wav into the resources";
    std::string error;
    const auto sound = WaveFile::read(*file, error);
    ASSERT_TRUE(sound) << error;
    const double seconds = static_cast<double>(sound->samples.size()) / sound->sampleRate;
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.5);
    const auto loudest =
        std::max_element(sound->samples.begin(), sound->samples.end(),
                         [](std::int16_t a, std::int16_t b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(*loudest), 8000);
    EXPECT_LT(std::abs(*loudest), 32767);
    EXPECT_LT(std::abs(sound->samples.back()), 200);
}

} // namespace
