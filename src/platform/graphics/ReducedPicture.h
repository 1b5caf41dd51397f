#pragma once

#include "platform/graphics/Image.h"

#include <filesystem>
#include <string>

namespace platform {

// A picture file shown with exactly the pixels it is drawn at: decoded no larger than needed
// (a JPEG at 1/2, 1/4 or 1/8 where that still has the pixels) and then reduced by area
// averaging, so that a large picture drawn small keeps its detail without aliasing. Safe on
// any thread.
class ReducedPicture {
public:
    // The picture in `path` as `width` by `height` pixels as it is seen (after its
    // orientation flag, which it keeps). A picture smaller than that along a side keeps its
    // own pixels along that side: it is never enlarged. nullptr, with the reason in whyNot
    // when given, for a file that is missing or not a picture that can be read.
    static ImageRef read(const std::filesystem::path& path, int width, int height,
                         std::string* whyNot = nullptr);
    // The same for a picture already in memory.
    static ImageRef reduce(const ImageRef& picture, int width, int height);
};

} // namespace platform
