#pragma once

#include "platform/graphics/Image.h"

#include <string>

// The main screen's artwork: PNG resources of the application bundle, found by name.
class SkinResources {
public:
    // The picture of the PNG resource of that name, read afresh (no shared cache); nullptr
    // when it is missing or unreadable, which leaves its view empty.
    static platform::ImageRef image(const std::string& name);

    // The text that completes "frame%@" and "background%@" for the "skin" preference: its
    // decimal form. A skin the camera does not ship would leave the camera without a body, so
    // it falls back to skin 0, with one line on standard error saying so.
    static std::string skinSuffix(long long skin);
};
