#pragma once

#include "platform/graphics/Image.h"

#include <chrono>
#include <functional>
#include <string>

// What a print is made from besides the picture: a snapshot of the camera's settings and
// strips taken when the shutter fires, plus the two outside services a print reads.
struct PrintInputs {
    bool isHighQuality = false;
    // The hardware model text; empty when the query failed.
    std::string platformString;
    // Horizontal scroll positions of the category strip and the frame strip, in points.
    double categoryOffsetX = 0;
    double frameOffsetX = 0;
    bool canDate = false;

    // Wall-clock time of the print, for its name and its date stamp. Empty: the system clock.
    std::function<std::chrono::system_clock::time_point()> now;
    // The film frame picture for a resource name; nullptr draws no frame. Empty: the
    // application bundle's PNG of that name.
    std::function<platform::ImageRef(const std::string& name)> loadFilmFrame;
};
