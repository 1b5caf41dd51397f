#include "platform/ui/ScreenPainter.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/DirtyRegion.h"
#include "platform/ui/DrawPass.h"
#include "platform/ui/OpaqueCovers.h"
#include "platform/ui/Window.h"

#include <cmath>

namespace platform {

namespace {

// The pixels of a side of `points` at `scale`, as a snapshot's context counts them.
int pixelsFor(double points, double scale) {
    const double p = std::round(points * scale);
    return std::isfinite(p) && p > 0 ? static_cast<int>(std::min(p, 32767.0)) : 0;
}

} // namespace

void ScreenPainter::drawScreen(Window* window, ImageContext& context, double now, DrawPass& pass) {
    // Under a cover the black would never show.
    if (!pass.cover) {
        context.setRGBFillColor(0, 0, 0, 1);
        context.fillRect({0, 0, Window::kWidth, Window::kHeight});
    }
    if (window)
        window->drawHierarchy(context, now, pass);
}

const std::vector<Rect>& ScreenPainter::paint(Window& window, double scale, double now) {
    drawn_.clear();
    const int width = pixelsFor(Window::kWidth, scale);
    const int height = pixelsFor(Window::kHeight, scale);
    if (width != width_ || height != height_ || scale != scale_) {
        width_ = width;
        height_ = height;
        scale_ = scale;
        pixels_.assign(static_cast<std::size_t>(width) * height, 0xff000000u);
        layers_.setScreen(width, height);
        layers_.clear();
        whole_ = true;
    }
    const DirtyRegion marked = window.takeDirtyRegion(now);
    const Rect screen{0, 0, double(width_), double(height_)};
    DirtyRegion boxes;
    if (whole_) {
        boxes.add(screen);
    } else {
        // Whole pixels: a pixel partly inside a marked rectangle is drawn whole.
        for (const Rect& r : marked.rects())
            boxes.add(Rect{std::floor(r.minX() * scale), std::floor(r.minY() * scale),
                           std::ceil(r.maxX() * scale) - std::floor(r.minX() * scale),
                           std::ceil(r.maxY() * scale) - std::floor(r.minY() * scale)}
                          .intersection(screen));
    }
    whole_ = false;
    if (boxes.isEmpty() || screen.isEmpty())
        return drawn_;
    drawn_ = boxes.rects();
    paintBoxes(window, now);
    return drawn_;
}

void ScreenPainter::paintBoxes(Window& window, double now) {
    // One pass over all the boxes, clipped to them: a pass through the tree costs more than
    // the pixels between boxes it leaves alone.
    Rect all;
    for (const Rect& box : drawn_)
        all = all.united(box);
    const int x = static_cast<int>(all.x()), y = static_cast<int>(all.y());
    std::uint32_t* first = pixels_.data() + static_cast<std::size_t>(y) * width_ + x;
    ImageContext context(reinterpret_cast<std::uint8_t*>(first), static_cast<int>(all.width()),
                         static_cast<int>(all.height()), stride(), scale_,
                         Point{double(x), double(y)});
    if (drawn_.size() > 1) {
        std::vector<Rect> local;
        for (const Rect& box : drawn_)
            local.push_back({box.x() - x, box.y() - y, box.width(), box.height()});
        context.clipToPixelRects(local);
    }
    DrawPass pass;
    pass.cover = OpaqueCovers(window, now).coverOf(all, scale_);
    pass.layers = &layers_;
    layers_.prune();
    layers_.setOrigin({double(x), double(y)});
    drawScreen(&window, context, now, pass);
    context.flush();
}

ImageRef ScreenPainter::picture() const {
    if (pixels_.empty())
        return nullptr;
    return Image::fromPixels(width_, height_, pixels_);
}

} // namespace platform
