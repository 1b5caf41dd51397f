#pragma once

#include "platform/graphics/Image.h"

#include <filesystem>

namespace platform {

// Small square pictures of photo files, for a grid of them: the largest square around the
// centre of the photo as it is seen (upright after its orientation flag), `side` by `side`
// pixels. A JPEG is decoded at the smallest of TurboJPEG's reduced sizes that still covers
// the square, which is many times faster than decoding it whole; a WebP at the same sizes, and
// a HEIC from the thumbnail phones keep in it when that is large enough. Safe on any thread.
class ThumbnailMaker {
public:
    // nullptr when the file is not a picture that can be read.
    static ImageRef make(const std::filesystem::path& path, int side);
    // The same for a picture already in memory.
    static ImageRef fromImage(const Image& image, int side);
};

} // namespace platform
