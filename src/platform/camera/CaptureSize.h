#pragma once

#include <optional>
#include <vector>

namespace platform {

// A frame size a webcam offers, in pixels.
struct CaptureSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const CaptureSize&, const CaptureSize&) = default;
};

// The size to capture at, from the sizes a device offers. Sizes of the 640 by 480 to 1280 by
// 720 class come first: large enough for a still, small enough to convert every frame on the
// fly. Within the class 4:3 wins (the camera's own pictures are 3:4), then the larger size.
// When nothing is in the class, the smallest larger size, else the largest smaller one, with
// 4:3 only breaking ties. Empty offers (or only empty sizes) give nothing.
std::optional<CaptureSize> chooseCaptureSize(const std::vector<CaptureSize>& offers);

} // namespace platform
