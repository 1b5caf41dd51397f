#include "platform/camera/FallbackCameraSource.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/camera/V4l2CameraSource.h"
#include "platform/camera/V4l2Device.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace platform;
using namespace testpictures;

namespace {

// A device that hands out `frames` frames of 4 by 2 pixels, one colour each, then fails (or
// goes silent). Frame n has red n and the blue of its position, so tests can tell frames and
// pixels apart.
class FakeDevice : public VideoDevice {
public:
    enum class End { Fail, Silence, ShortFrames };

    FakeDevice(int frames, End end = End::Fail, bool startFails = false, bool blueFirst = false)
        : frames_(frames), end_(end), startFails_(startFails), blueFirst_(blueFirst) {}

    std::string path() const override { return "/dev/video7"; }
    bool start(std::string& reason) override {
        if (startFails_)
            reason = "cannot open: Permission denied";
        return !startFails_;
    }
    ReadResult readFrame(double timeoutSeconds,
                         const std::function<void(const VideoFrame&)>& deliver,
                         std::string& reason) override {
        if (sent_ == frames_) {
            if (end_ == End::Fail) {
                reason = "the device was disconnected";
                return ReadResult::Failed;
            }
            if (end_ == End::Silence) {
                std::this_thread::sleep_for(std::chrono::duration<double>(timeoutSeconds));
                return ReadResult::Timeout;
            }
            // A frame cut off after its first row, as a damaged transfer gives.
            const std::vector<std::uint8_t> row(12, 0x40);
            deliver({4, 2, 16, blueFirst_, row.data(), row.size()});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return ReadResult::Frame;
        }
        ++sent_;
        // Rows padded to 16 bytes, as drivers do.
        std::vector<std::uint8_t> bytes(32, 0xEE);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                std::uint8_t* p = &bytes[y * 16 + x * 3];
                const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(sent_), 0x80,
                                             static_cast<std::uint8_t>(y * 4 + x)};
                p[0] = blueFirst_ ? rgb[2] : rgb[0];
                p[1] = rgb[1];
                p[2] = blueFirst_ ? rgb[0] : rgb[2];
            }
        deliver({4, 2, 16, blueFirst_, bytes.data(), bytes.size()});
        return ReadResult::Frame;
    }
    std::string description() const override { return "Fake Cam, 4 by 2"; }

private:
    int frames_;
    End end_;
    bool startFails_;
    bool blueFirst_;
    int sent_ = 0;
};

std::uint32_t fakePixel(int frame, int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(frame) << 16 | 0x8000u |
           static_cast<std::uint32_t>(y * 4 + x);
}

// Real time passes here: the source has its own thread. Generous, since only a broken source
// ever waits this long.
bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace

TEST(V4l2CameraSource, ConvertsPackedPixelsAndKeepsTheNewestFrame) {
    for (bool blueFirst : {false, true}) {
        SCOPED_TRACE(blueFirst);
        V4l2CameraSource source(
            std::make_unique<FakeDevice>(3, FakeDevice::End::Silence, false, blueFirst));
        ASSERT_TRUE(source.waitForFirstFrame(10));
        ASSERT_TRUE(waitUntil([&] { return source.frameCounter() == 3; }));
        const ImageRef frame = source.frame(0);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->pixelWidth(), 4);
        EXPECT_EQ(frame->pixelHeight(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(frame->pixel(x, y), fakePixel(3, x, y)) << x << "," << y;
        EXPECT_EQ(source.stillFrame(0), frame);
        EXPECT_TRUE(source.isLive());
        EXPECT_FALSE(source.failed());
        EXPECT_EQ(source.description(), "webcam /dev/video7 (Fake Cam, 4 by 2)");
    }
}

TEST(V4l2CameraSource, SilentOrGarbledDeviceFailsAfterTheStallTime) {
    for (FakeDevice::End end : {FakeDevice::End::Silence, FakeDevice::End::ShortFrames}) {
        V4l2CameraSource source(std::make_unique<FakeDevice>(1, end), 0.3);
        ASSERT_TRUE(waitUntil([&] { return source.failed(); }));
        // Cut-off frames are never shown: the last whole one stays.
        EXPECT_EQ(source.frameCounter(), 1u);
        EXPECT_EQ(source.frame(0)->pixel(3, 1), fakePixel(1, 3, 1));
        EXPECT_EQ(source.failureReason(), "no picture for 0.3 seconds");
    }
}

TEST(FallbackCameraSource, DeviceThatStopsGivesWayToTheSceneWithOneLine) {
    auto webcam = std::make_shared<V4l2CameraSource>(std::make_unique<FakeDevice>(5));
    ASSERT_TRUE(waitUntil([&] { return webcam->failed(); }));
    EXPECT_EQ(webcam->frameCounter(), 5u);

    FallbackCameraSource camera(webcam, "webcam /dev/video7");
    testing::internal::CaptureStderr();
    const std::uint64_t before = webcam->frameCounter();
    const ImageRef frame = camera.frame(1.0);
    const std::uint64_t after = camera.frameCounter();
    camera.frame(2.0);
    camera.stillFrame(2.0);
    const std::string description = camera.description();
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(err, "morvane: webcam /dev/video7 stopped (the device was disconnected); showing "
                   "the built-in scene\n");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->pixelWidth(), SceneCameraSource::kPreviewWidth);
    EXPECT_NE(after, before);
    EXPECT_TRUE(camera.switched());
    EXPECT_FALSE(camera.failed());
    EXPECT_TRUE(camera.isLive());
    EXPECT_NE(description.find("/dev/video7 stopped"), std::string::npos);
    // Still the webcam the user faces, so the live picture keeps its side.
    EXPECT_TRUE(camera.isWebcam());
    EXPECT_FALSE(SceneCameraSource().isWebcam());
}

TEST(FallbackCameraSource, DeviceThatCannotStartSwitchesAtOnce) {
    std::vector<std::string> lines;
    auto webcam = std::make_shared<V4l2CameraSource>(
        std::make_unique<FakeDevice>(0, FakeDevice::End::Fail, true));
    ASSERT_TRUE(waitUntil([&] { return webcam->failed(); }));
    FallbackCameraSource camera(webcam, "webcam /dev/video7",
                                [&](const std::string& line) { lines.push_back(line); });
    EXPECT_TRUE(camera.stillFrame(0));
    EXPECT_TRUE(camera.frame(0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "morvane: webcam /dev/video7 stopped (cannot open: Permission denied); "
                        "showing the built-in scene");
}

TEST(FallbackCameraSource, WorkingDeviceIsPassedThrough) {
    std::vector<std::string> lines;
    auto webcam = std::make_shared<V4l2CameraSource>(
        std::make_unique<FakeDevice>(2, FakeDevice::End::Silence));
    ASSERT_TRUE(waitUntil([&] { return webcam->frameCounter() == 2; }));
    FallbackCameraSource camera(webcam, "webcam /dev/video7",
                                [&](const std::string& line) { lines.push_back(line); });
    const ImageRef frame = camera.frame(0);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->pixel(1, 1), fakePixel(2, 1, 1));
    EXPECT_EQ(camera.frameCounter(), 2u);
    EXPECT_FALSE(camera.switched());
    EXPECT_TRUE(lines.empty());
}

TEST(V4l2Device, MissingOrFakeNodesAreReportedNotListed) {
    std::string reason;
    V4l2Device missing("/dev/video-that-does-not-exist");
    EXPECT_FALSE(missing.start(reason));
    EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;

    // Regular files that merely look like video nodes, and other names, are no webcams.
    const auto folder =
        std::filesystem::temp_directory_path() / ("morvane-dev-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const char* name : {"video0", "video12", "videoX", "video"})
        std::ofstream(folder / name) << "not a device";
    EXPECT_TRUE(listWebcams(folder).empty());
    EXPECT_TRUE(listWebcams(folder / "missing").empty());

    V4l2Device plainFile((folder / "video0").string());
    EXPECT_FALSE(plainFile.start(reason));
    EXPECT_FALSE(reason.empty());
    std::filesystem::remove_all(folder);
}
