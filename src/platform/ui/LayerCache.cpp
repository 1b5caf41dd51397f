#include "platform/ui/LayerCache.h"

#include "platform/graphics/ImageContext.h"
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

// The parts of a picture that hold anything, as rectangles of whole tiles (picture pixels):
// runs of tiles along each row of tiles, joined down the rows while they match.
std::vector<Rect> inkedTiles(const Image& picture, int tile) {
    const int w = picture.pixelWidth(), h = picture.pixelHeight();
    const int columns = (w + tile - 1) / tile;
    std::vector<Rect> done, open;
    for (int ty = 0; ty * tile < h; ++ty) {
        std::vector<bool> inked(static_cast<std::size_t>(columns), false);
        const int y1 = std::min(h, (ty + 1) * tile);
        for (int y = ty * tile; y < y1; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                picture.data() + std::ptrdiff_t(y) * picture.stride());
            for (int x = 0; x < w; ++x)
                if (row[x] >> 24)
                    inked[static_cast<std::size_t>(x / tile)] = true;
        }
        std::vector<Rect> runs;
        for (int tx = 0; tx < columns;) {
            if (!inked[static_cast<std::size_t>(tx)]) {
                ++tx;
                continue;
            }
            const int start = tx;
            while (tx < columns && inked[static_cast<std::size_t>(tx)])
                ++tx;
            const double x0 = start * tile, x1 = std::min(w, tx * tile);
            runs.push_back({x0, double(ty * tile), x1 - x0, double(y1 - ty * tile)});
        }
        std::vector<Rect> next;
        for (const Rect& run : runs) {
            auto above = std::find_if(open.begin(), open.end(), [&run](const Rect& r) {
                return r.minX() == run.minX() && r.maxX() == run.maxX();
            });
            if (above != open.end()) {
                next.push_back({above->origin, Size{above->width(), run.maxY() - above->minY()}});
                open.erase(above);
            } else {
                next.push_back(run);
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open = std::move(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    return done;
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
                entry->inked = inkedTiles(*entry->picture, kTile);
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
