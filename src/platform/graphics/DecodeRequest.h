#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace platform {

// What a decoder may make of a picture file, and where it says why it made nothing.
struct DecodeRequest {
    // Never more pixels than this, nor a side longer than maxSide (Cairo's surfaces stop
    // there), whatever the file claims.
    std::int64_t maxPixels = 0;
    int maxSide = 32767;
    // A JPEG larger than this many pixels is decoded reduced (1/2, 1/4, 1/8 in the codec's
    // own DCT scaling), at the largest scale that fits, and nothing larger is ever made from
    // one; 0 for no working limit (maxPixels alone).
    std::int64_t workingPixels = 0;
    // When above 0: the shorter side the caller needs, in pixels; a JPEG is decoded at the
    // smallest of those scales that still gives it.
    int shortSide = 0;
    // Set to the reason when nothing is made, for a message; may be null.
    std::string* whyNot = nullptr;

    void refuse(std::string reason) const {
        if (whyNot)
            *whyNot = std::move(reason);
    }
};

} // namespace platform
