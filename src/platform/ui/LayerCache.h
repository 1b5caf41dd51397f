#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class ImageContext;
class View;

// Pictures of translucent views kept from one drawing of a screen to the next. A view faded
// below full alpha is drawn as one picture and then laid over what is beneath at its alpha;
// while nothing in it changes (View::drawingVersion) and it stays on the same pixels, the
// picture can be laid again instead of drawn, pixel for pixel what drawing it would give.
// Only the parts of it that hold anything are laid, so a mostly empty overlay costs little.
//
// Kept for one screen of pixelWidth × pixelHeight device pixels; the contexts it is used in
// are parts of that screen, each starting at an origin (device pixels) set before use.
class LayerCache {
public:
    // Side (device pixels) of the tiles a picture is split into to find what it holds.
    static constexpr int kTile = 16;

    void setScreen(int pixelWidth, int pixelHeight);
    void setOrigin(Point origin) { origin_ = origin; }
    // Lays `view`'s content (its own drawing and its subviews') over the context at `alpha`,
    // through the context's clip, the context's current space being the view's own (its
    // placement and clip applied). Keeps a picture of it for the next time. False when it
    // cannot help (the view is turned, or larger than the screen); then the caller draws.
    bool paint(View& view, ImageContext& context, double alpha, double now);
    // Drops the pictures of views that are gone.
    void prune();
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::weak_ptr<const View> view;
        std::uint64_t version = 0;
        AffineTransform toScreen;
        Rect box;
        ImageRef picture;
        std::vector<Rect> inked;
    };
    Entry* find(const View& view);

    int width_ = 0;
    int height_ = 0;
    Point origin_;
    std::vector<Entry> entries_;
};

} // namespace platform
