#include "platform/ui/LayerCache.h"

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/PixelTiles.h"
#include "platform/graphics/SurfaceHandle.h"
#include "platform/ui/DrawPass.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace platform {

namespace {

bool axisAligned(const AffineTransform& t) {
    return t.b == 0 && t.c == 0 && t.a != 0 && t.d != 0;
}

// The smallest box of whole pixels holding `r` carried through `t`.
Rect pixelBoxOf(const Rect& r, const AffineTransform& t) {
    const Point p = t.apply({r.minX(), r.minY()});
    const Point q = t.apply({r.maxX(), r.maxY()});
    const double x0 = std::floor(std::min(p.x, q.x)), y0 = std::floor(std::min(p.y, q.y));
    const double x1 = std::ceil(std::max(p.x, q.x)), y1 = std::ceil(std::max(p.y, q.y));
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

void LayerCache::setScreen(int pixelWidth, int pixelHeight) {
    if (pixelWidth != width_ || pixelHeight != height_)
        entries_.clear();
    width_ = pixelWidth;
    height_ = pixelHeight;
}

LayerCache::Entry* LayerCache::find(const View& view) {
    for (Entry& entry : entries_)
        if (entry.view.lock().get() == &view)
            return &entry;
    return nullptr;
}

bool LayerCache::paint(View& view, ImageContext& context, double alpha, double now) {
    const AffineTransform toScreen =
        context.ctm().concat(AffineTransform::makeTranslation(origin_.x, origin_.y));
    if (!axisAligned(toScreen))
        return false;
    Entry* entry = find(view);
    if (!entry || entry->version != view.drawingVersion() || !(entry->toScreen == toScreen)) {
        const Rect screen{0, 0, double(width_), double(height_)};
        const Rect extent =
            view.clipsToBounds() ? view.bounds_.presentation(now) : view.contentExtent(now);
        const Rect box = pixelBoxOf(extent, toScreen).intersection(screen);
        if (!entry) {
            entries_.push_back({});
            entry = &entries_.back();
            entry->view = view.weak_from_this();
        }
        entry->version = view.drawingVersion();
        entry->toScreen = toScreen;
        entry->box = box;
        entry->picture.reset();
        entry->inked.clear();
        if (!box.isEmpty()) {
            // Drawn as the group it stands for would be: by Cairo alone, from transparent.
            ImageContext layer(static_cast<int>(box.width()), static_cast<int>(box.height()));
            layer.setUsesFastPaths(false);
            layer.concatCTM(toScreen.concat(AffineTransform::makeTranslation(-box.x(), -box.y())));
            if (view.clipsToBounds())
                layer.clipToRect(view.bounds_.presentation(now));
            DrawPass inner;
            view.drawContent(layer, now, inner);
            entry->picture = layer.makeImage();
            if (entry->picture)
                entry->inked = PixelTiles::inked(*entry->picture, kTile);
        }
    }
    if (!entry->picture || entry->inked.empty())
        return true;
    SurfaceHandle source(cairo_image_surface_create_for_data(
        const_cast<unsigned char*>(entry->picture->data()), CAIRO_FORMAT_ARGB32,
        entry->picture->pixelWidth(), entry->picture->pixelHeight(), entry->picture->stride()));
    if (cairo_surface_status(source.get()) != CAIRO_STATUS_SUCCESS)
        return false;
    const double dx = entry->box.x() - origin_.x, dy = entry->box.y() - origin_.y;
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    // Where the picture holds nothing the fade would leave every pixel as it is.
    for (const Rect& r : entry->inked)
        cairo_rectangle(cr, r.x() + dx, r.y() + dy, r.width(), r.height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, source.get(), dx, dy);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    return true;
}

void LayerCache::prune() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.view.expired(); });
}

} // namespace platform
