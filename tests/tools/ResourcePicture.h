#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

// A PNG from the built resource folder, read for inspection pixel by pixel.
class ResourcePicture {
public:
    explicit ResourcePicture(const std::string& name);
    ~ResourcePicture();
    ResourcePicture(const ResourcePicture&) = delete;
    ResourcePicture& operator=(const ResourcePicture&) = delete;

    bool loaded() const { return loaded_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Alpha 0 to 255 at a pixel.
    int alpha(int x, int y) const { return static_cast<int>(word(x, y) >> 24); }
    // Straight (not premultiplied) colour channel 0 to 1: 0 red, 1 green, 2 blue.
    double channel(int x, int y, int which) const;
    double luminance(int x, int y) const;

private:
    std::uint32_t word(int x, int y) const;

    cairo_surface_t* surface_ = nullptr;
    bool loaded_ = false;
    int width_ = 0;
    int height_ = 0;
};
