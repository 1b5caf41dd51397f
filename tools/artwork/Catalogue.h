#pragma once

#include "Canvas.h"
#include "Fonts.h"

#include <functional>
#include <string>
#include <vector>

namespace artwork {

// One picture the camera looks up by name, with the pixel size it must have.
struct Resource {
    std::string name;
    int width;
    int height;
    std::function<Canvas(const Fonts&)> draw;
};

// Every image resource, in the order they are drawn.
std::vector<Resource> catalogue();

} // namespace artwork
