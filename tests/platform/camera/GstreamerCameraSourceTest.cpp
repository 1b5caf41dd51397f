#include "platform/camera/GstreamerCameraSource.h"
#include "platform/camera/VideoFrame.h"

#include "support/GstreamerPlugins.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace platform;
using namespace testpictures;

namespace {

using Settings = GstreamerCameraSource::Settings;

class GstreamerPipeline : public GstreamerPluginsTest {
protected:
    static std::unique_ptr<GstreamerCameraSource> open(const std::string& description,
                                                       double stallSeconds = 5) {
        return std::make_unique<GstreamerCameraSource>(
            description, Settings{"test pipeline", false, stallSeconds});
    }

    // Waits for the pipeline to fail, then its reason.
    static std::string failure(GstreamerCameraSource& source) {
        EXPECT_TRUE(eventually([&] { return source.failed(); })) << "still running";
        return source.failureReason();
    }
};

} // namespace

TEST(VideoFrame, WordsBecomeOpaquePixelsAndShortBuffersNothing) {
    // Two rows of two pixels, each row padded to 12 bytes; the unused byte holds junk.
    std::vector<std::uint8_t> bytes(24, 0xEE);
    const std::uint32_t words[4] = {0x11FF0000u, 0x2200FF00u, 0x330000FFu, 0x44808080u};
    for (int i = 0; i < 4; ++i)
        std::memcpy(&bytes[(i / 2) * 12 + (i % 2) * 4], &words[i], 4);
    const ImageRef image = imageFromVideoFrame({2, 2, 12, bytes.data(), bytes.size()});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kRed);
    EXPECT_EQ(image->pixel(1, 0), kGreen);
    EXPECT_EQ(image->pixel(0, 1), kBlue);
    EXPECT_EQ(image->pixel(1, 1), kGrey);
    // The last row needs no padding after it; a byte fewer is a cut-off frame.
    EXPECT_TRUE(imageFromVideoFrame({2, 2, 12, bytes.data(), 20}));
    EXPECT_FALSE(imageFromVideoFrame({2, 2, 12, bytes.data(), 19}));
    EXPECT_FALSE(imageFromVideoFrame({2, 2, 4, bytes.data(), bytes.size()}));
    EXPECT_FALSE(imageFromVideoFrame({0, 2, 12, bytes.data(), bytes.size()}));
}

TEST_F(GstreamerPipeline, FramesArriveAtTheNegotiatedSize) {
    const struct {
        const char* description;
        CaptureSize size;
    } cases[] = {
        // Any size: as large as a still needs.
        {"videotestsrc", {2048, 1536}},
        // A range: the largest 4:3 size inside it.
        {"videotestsrc ! video/x-raw,width=[320,1000],height=[200,700]", {800, 600}},
        // Only a wide size: that one.
        {"videotestsrc ! video/x-raw,width=1280,height=720", {1280, 720}},
        // Sizes beyond the still: the smallest.
        {"videotestsrc ! video/x-raw,width={4000,2592},height={3000,1944}", {2592, 1944}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        const auto source = open(c.description);
        ASSERT_TRUE(source->waitForFirstFrame(20)) << source->failureReason();
        const ImageRef frame = source->frame(0);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->pixelWidth(), c.size.width);
        EXPECT_EQ(frame->pixelHeight(), c.size.height);
        EXPECT_EQ(frame->orientation(), ImageOrientation::Up);
    }
}

TEST_F(GstreamerPipeline, ASolidPatternGivesThatColourEverywhereAndTheStillIsTheNewestFrame) {
    const auto source = open("videotestsrc pattern=red ! video/x-raw,width=320,height=240");
    ASSERT_TRUE(source->waitForFirstFrame(20)) << source->failureReason();
    const ImageRef frame = source->frame(0);
    ASSERT_TRUE(frame);
    for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {160, 120}, {0, 239}, {319, 239}})
        EXPECT_TRUE(near(frame->pixel(x, y), kRed, 2))
            << x << "," << y << " " << std::hex << frame->pixel(x, y);
    // Whatever has come in since, the still is the newest frame there is.
    const ImageRef still = source->stillFrame(0);
    EXPECT_TRUE(still == source->frame(0) || source->frameCounter() > 1);
    EXPECT_EQ(source->description(), "test pipeline");
    EXPECT_TRUE(source->isLive());
    EXPECT_FALSE(source->isWebcam());
    EXPECT_FALSE(source->failed());
}

TEST_F(GstreamerPipeline, AMovingPatternGivesNewFramesThatDiffer) {
    const auto source = open("videotestsrc pattern=ball ! video/x-raw,width=160,height=120");
    ASSERT_TRUE(source->waitForFirstFrame(20)) << source->failureReason();
    const ImageRef first = source->frame(0);
    const std::uint64_t counter = source->frameCounter();
    ASSERT_TRUE(eventually([&] { return source->frameCounter() >= counter + 5; }));
    const ImageRef later = source->frame(0);
    ASSERT_TRUE(first && later);
    EXPECT_NE(first, later);
    int differing = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            differing += first->pixel(x, y) != later->pixel(x, y);
    EXPECT_GT(differing, 20);
}

TEST_F(GstreamerPipeline, APipelineThatCannotStartOrStopsSendingFailsWithOneReason) {
    EXPECT_NE(failure(*open("nosuchelement")).find("no element \"nosuchelement\""),
              std::string::npos);
    // Sound where pictures are expected: found out at once, or once a decoder finds it.
    EXPECT_NE(failure(*open("audiotestsrc")).find("format not negotiated"), std::string::npos);
    EXPECT_NE(failure(*open("audiotestsrc ! decodebin")).find("no video"), std::string::npos);
    // The end of the stream: the last frame stays, but the source is over.
    const auto ended = open("videotestsrc num-buffers=3 ! video/x-raw,width=64,height=48");
    EXPECT_EQ(failure(*ended), "its picture ended");
    EXPECT_EQ(ended->frameCounter(), 3u);
    EXPECT_TRUE(ended->frame(0));
    // A source that goes quiet without ending.
    const auto silent = open("videotestsrc ! valve drop=true", 0.3);
    EXPECT_EQ(failure(*silent), "no picture for 0.3 seconds");
    EXPECT_FALSE(silent->frame(0));
    EXPECT_FALSE(silent->waitForFirstFrame(0.1));
}

TEST_F(GstreamerPipeline, ClosingARunningOrStartingPipelineReturns) {
    // Closed at once, before it could start, and while it plays: each returns, and the
    // frames it had are its own to the end.
    for (int i = 0; i < 3; ++i)
        open("videotestsrc is-live=true ! video/x-raw,width=64,height=48");
    auto playing = open("videotestsrc is-live=true ! video/x-raw,width=64,height=48");
    ASSERT_TRUE(playing->waitForFirstFrame(20)) << playing->failureReason();
    const ImageRef kept = playing->frame(0);
    playing.reset();
    EXPECT_EQ(kept->pixelWidth(), 64);
}
