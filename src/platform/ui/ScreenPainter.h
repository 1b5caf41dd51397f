#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/ui/LayerCache.h"

#include <cstdint>
#include <vector>

namespace platform {

class ImageContext;
class Window;
struct DrawPass;

// The screen's picture kept from frame to frame, so that a frame draws only what changed.
// Each frame takes what the window marked (Window::takeDirtyRegion), rounds it out to whole
// pixels and draws each part afresh, beneath the front-most opaque view that covers it,
// reusing kept pictures of faded views; every pixel it draws is the pixel a whole snapshot
// at the same scale and moment gives.
class ScreenPainter {
public:
    // The screen as the application shows it, over black, into a context covering it (or
    // part of it) at any scale: what snapshots and frames both draw.
    static void drawScreen(Window* window, ImageContext& context, double now, DrawPass& pass);

    // Brings the picture up to date with `window` at `now`, drawn at `scale` pixels per
    // point. Returns the boxes of pixels drawn (whole numbers): none when nothing changed,
    // the whole picture after a change of scale or invalidate().
    const std::vector<Rect>& paint(Window& window, double scale, double now);
    // The next paint draws everything.
    void invalidate() { whole_ = true; }

    // The picture: opaque premultiplied ARGB32 words, rows stride() bytes apart.
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    const std::uint8_t* data() const {
        return reinterpret_cast<const std::uint8_t*>(pixels_.data());
    }
    int stride() const { return width_ * 4; }
    double scale() const { return scale_; }
    // A copy of the picture; null before the first paint.
    ImageRef picture() const;
    // Pictures of faded views kept now (for tests).
    const LayerCache& layers() const { return layers_; }

private:
    // Draws the boxes in drawn_.
    void paintBoxes(Window& window, double now);

    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    double scale_ = 0;
    bool whole_ = true;
    LayerCache layers_;
    std::vector<Rect> drawn_;
};

} // namespace platform
