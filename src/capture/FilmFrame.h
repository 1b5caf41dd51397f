#pragma once

#include "platform/graphics/BlendMode.h"

#include <string>

// The film frame laid over a print: which picture resource, and how it is blended.
struct FilmFrame {
    std::string name; // resource name, type "png"
    platform::BlendMode blendMode = platform::BlendMode::SourceAtop;

    // Category 1 to 10 picks the family and its blend mode, frame 0 to 2 the picture within it.
    static FilmFrame forCategoryAndFrame(int categoryNumber, int frameNumber);

    friend bool operator==(const FilmFrame&, const FilmFrame&) = default;
};
