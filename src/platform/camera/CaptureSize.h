#pragma once

#include <optional>
#include <vector>

namespace platform {

// A frame size a camera offers, in pixels.
struct CaptureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const CaptureSize&, const CaptureSize&) = default;
};

// One way a camera can deliver frames: a size, the highest frame rate it has at that size (0
// when the camera does not say) and whether the frames come compressed (MJPEG) or raw.
struct CaptureOffer {
    CaptureSize size;
    double framesPerSecond = 0;
    bool compressed = false;
    friend bool operator==(const CaptureOffer&, const CaptureOffer&) = default;
};

// The largest frame a still can use: the still's 1536-pixel square is cut from the frame's
// shorter side, and a 4:3 frame around it is 2048 by 1536.
inline constexpr CaptureSize kStillFrameSize{2048, 1536};

// Below this many frames a second a live picture looks jerky.
inline constexpr double kSmoothFramesPerSecond = 15;

// The offer to capture at. Offers slower than kSmoothFramesPerSecond drop out while faster
// ones exist. Of the sizes within `limit` (either way round) the largest 4:3 one wins, else
// the largest; when every size is larger than the limit, the smallest. Between offers of the
// same size the faster wins, then raw frames (nothing to decode). Empty offers (or only empty
// sizes) give nothing.
std::optional<CaptureOffer> chooseCaptureOffer(const std::vector<CaptureOffer>& offers,
                                               CaptureSize limit = kStillFrameSize);

} // namespace platform
