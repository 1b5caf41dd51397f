#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>

namespace artwork {

// One ARGB32 drawing surface with its Cairo context: the unit every resource is drawn into.
class Canvas {
public:
    // Size in pixels; starts fully transparent.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    // Direct pixel access: premultiplied native-endian ARGB words. Call beginPixels() before
    // touching them and endPixels() after, so Cairo sees the change.
    std::uint32_t* beginPixels();
    void endPixels();
    int stride() const;

    // Writes the picture through a temporary file renamed into place, so a reader never sees
    // half a file. False when the file cannot be written.
    bool writePng(const std::filesystem::path& path) const;

private:
    void release();

    int width_ = 0;
    int height_ = 0;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
};

} // namespace artwork
