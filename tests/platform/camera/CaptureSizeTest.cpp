#include "platform/camera/CaptureSize.h"
#include "platform/camera/CaptureCaps.h"
#include "platform/camera/Gstreamer.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

namespace {

CaptureOffer raw(int w, int h, double fps = 30) {
    return {{w, h}, fps, false};
}

CaptureOffer mjpeg(int w, int h, double fps = 30) {
    return {{w, h}, fps, true};
}

std::optional<CaptureSize> sizeOf(const std::vector<CaptureOffer>& offers) {
    const auto chosen = chooseCaptureOffer(offers);
    return chosen ? std::optional(chosen->size) : std::nullopt;
}

// The offers GStreamer's caps text describes.
std::vector<CaptureOffer> offersOf(const std::string& text) {
    std::string error;
    EXPECT_TRUE(Gstreamer::start(error)) << error;
    GstCaps* caps = gst_caps_from_string(text.c_str());
    EXPECT_TRUE(caps) << text;
    std::vector<CaptureOffer> offers = CaptureCaps::offers(caps);
    if (caps)
        gst_caps_unref(caps);
    return offers;
}

bool has(const std::vector<CaptureOffer>& offers, CaptureOffer offer) {
    return std::find(offers.begin(), offers.end(), offer) != offers.end();
}

} // namespace

TEST(ChooseCaptureOffer, TheLargestFourByThreeUpToTheStillElseTheLargest) {
    // 4:3 beats a larger wide size and a smaller 4:3 size; sizes beyond the still lose.
    EXPECT_EQ(sizeOf({raw(1920, 1080), raw(1280, 960), raw(640, 480), raw(2592, 1944)}),
              (CaptureSize{1280, 960}));
    EXPECT_EQ(sizeOf({raw(2048, 1536), raw(1600, 1200)}), (CaptureSize{2048, 1536}));
    // No 4:3 size: the largest there is.
    EXPECT_EQ(sizeOf({raw(1280, 720), raw(1920, 1080), raw(640, 360)}), (CaptureSize{1920, 1080}));
    // Everything beyond the still: the smallest of them.
    EXPECT_EQ(sizeOf({raw(4000, 3000), raw(3264, 2448)}), (CaptureSize{3264, 2448}));
    // Portrait sizes are judged by their sides; nearly 4:3 counts as 4:3.
    EXPECT_EQ(sizeOf({raw(1080, 1920), raw(480, 640)}), (CaptureSize{480, 640}));
    EXPECT_EQ(sizeOf({raw(800, 608), raw(1280, 720)}), (CaptureSize{800, 608}));
    // A smaller limit moves the choice.
    EXPECT_EQ(chooseCaptureOffer({raw(2048, 1536), raw(1280, 960)}, {1600, 1200})->size,
              (CaptureSize{1280, 960}));
}

TEST(ChooseCaptureOffer, SmoothRatesFirstThenTheFasterThenRawFrames) {
    // A webcam over USB 2 sends its large raw sizes slowly and its MJPEG ones at full rate.
    const auto chosen = chooseCaptureOffer(
        {raw(1600, 1200, 5), mjpeg(1600, 1200, 30), raw(640, 480, 30), mjpeg(1280, 720, 30)});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, mjpeg(1600, 1200, 30));
    // With nothing smooth, a slow size is better than none.
    EXPECT_EQ(sizeOf({raw(1600, 1200, 5), raw(640, 480, 10)}), (CaptureSize{1600, 1200}));
    // The same size and rate both ways: raw, as there is nothing to decode.
    EXPECT_EQ(chooseCaptureOffer({mjpeg(1280, 960), raw(1280, 960)})->compressed, false);
    // A rate the camera does not state is not held against it.
    EXPECT_EQ(sizeOf({raw(1280, 960, 0), raw(640, 480, 30)}), (CaptureSize{1280, 960}));
    EXPECT_FALSE(chooseCaptureOffer({}));
    EXPECT_FALSE(chooseCaptureOffer({raw(0, 0), raw(-4, 3)}));
}

TEST(CaptureCaps, OffersComeFromSizesRangesAndListsOfRawAndJpegCaps) {
    const auto offers =
        offersOf("video/x-raw, format=YUY2, width=640, height=480, framerate={30/1, 15/1}; "
                 "image/jpeg, width=1600, height=1200, framerate=30/1; "
                 "video/x-raw, format=NV12, width={1280, 320}, height={960, 240}, framerate=10/1; "
                 "video/x-raw(memory:DMABuf), format=NV12, width=2048, height=1536; "
                 "video/x-bayer, format=bggr, width=2048, height=1536; "
                 "video/x-h264, width=1920, height=1080");
    EXPECT_TRUE(has(offers, raw(640, 480, 30)));
    EXPECT_TRUE(has(offers, mjpeg(1600, 1200, 30)));
    EXPECT_TRUE(has(offers, raw(1280, 960, 10)));
    EXPECT_TRUE(has(offers, raw(320, 240, 10)));
    // Memory that cannot be read directly, Bayer and H.264 are no use.
    EXPECT_EQ(offers.size(), 6u); // the two lists make four sizes
    for (const CaptureOffer& offer : offers)
        EXPECT_NE(offer.size, (CaptureSize{2048, 1536}));

    // A source that makes any size offers the usual ones and the still's own.
    const auto any = offersOf("video/x-raw, width=[1, 2147483647], height=[1, 2147483647], "
                              "framerate=[0/1, 2147483647/1]");
    EXPECT_TRUE(has(any, raw(2048, 1536, 2147483647.0)));
    EXPECT_EQ(chooseCaptureOffer(any)->size, (CaptureSize{2048, 1536}));
    // Inside a narrower range, only what fits; a step leaves out what it skips.
    const auto narrow = offersOf("video/x-raw, width=[320, 1000], height=[200, 700]");
    EXPECT_EQ(chooseCaptureOffer(narrow)->size, (CaptureSize{800, 600}));
    const auto stepped = offersOf("video/x-raw, width=[320, 960, 320], height=[200, 700]");
    EXPECT_FALSE(has(stepped, raw(800, 600, 0)));
    EXPECT_EQ(chooseCaptureOffer(stepped)->size, (CaptureSize{640, 480}));
}

TEST(CaptureCaps, TheFilterHoldsTheSourceToTheChosenOffer) {
    std::string error;
    ASSERT_TRUE(Gstreamer::start(error)) << error;
    for (const CaptureOffer& offer : {mjpeg(1600, 1200, 30), raw(1280, 720, 5)}) {
        GstCaps* filter = gst_caps_from_string(CaptureCaps::filterFor(offer).c_str());
        ASSERT_TRUE(filter) << CaptureCaps::filterFor(offer);
        GstCaps* offered =
            gst_caps_from_string("video/x-raw, width=1280, height=720, framerate=5/1; "
                                 "image/jpeg, width=1600, height=1200, framerate=30/1; "
                                 "image/jpeg, width=640, height=480, framerate=30/1");
        GstCaps* both = gst_caps_intersect(filter, offered);
        const auto left = CaptureCaps::offers(both);
        ASSERT_EQ(left.size(), 1u) << CaptureCaps::filterFor(offer);
        EXPECT_EQ(left[0].size, offer.size);
        EXPECT_EQ(left[0].compressed, offer.compressed);
        gst_caps_unref(both);
        gst_caps_unref(offered);
        gst_caps_unref(filter);
    }
}
