#include "platform/camera/CameraPicture.h"

#include "platform/graphics/SurfacePool.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// A fresh, writable ARGB32 surface whose every pixel the caller writes (so it is not
// cleared, and its memory may be a dropped frame's), or nullptr when the size is empty or
// too large.
cairo_surface_t* newSurface(int width, int height) {
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > Image::kMaxPixels)
        return nullptr;
    cairo_surface_t* surface = SurfacePool::make(width, height, false).release();
    if (!surface)
        return nullptr;
    cairo_surface_flush(surface);
    return surface;
}

std::uint32_t* rowOf(cairo_surface_t* surface, int y) {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                            static_cast<std::ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface));
}

const std::uint32_t* rowOf(const Image& image, int y) {
    return reinterpret_cast<const std::uint32_t*>(image.data() +
                                                  static_cast<std::ptrdiff_t>(y) * image.stride());
}

// Fills a width × height target where target pixel (x, y) comes from source pixel
// sourceOf(x, y). Works in square tiles so that quarter turns read the source a few cache
// lines at a time instead of one pixel per line.
template <typename SourceOf>
ImageRef remap(const Image& source, int width, int height, ImageOrientation flag,
               SourceOf sourceOf) {
    if (!source.data())
        return nullptr;
    cairo_surface_t* target = newSurface(width, height);
    if (!target)
        return nullptr;
    constexpr int kTile = 64;
    for (int ty = 0; ty < height; ty += kTile) {
        for (int tx = 0; tx < width; tx += kTile) {
            const int yEnd = std::min(height, ty + kTile);
            const int xEnd = std::min(width, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                std::uint32_t* out = rowOf(target, y);
                for (int x = tx; x < xEnd; ++x) {
                    const auto [sx, sy] = sourceOf(x, y);
                    out[x] = rowOf(source, sy)[sx];
                }
            }
        }
    }
    cairo_surface_mark_dirty(target);
    return Image::fromSurface(target, flag);
}

} // namespace

ImageRef uprightImage(const Image& image) {
    const int w = image.pixelWidth();
    const int h = image.pixelHeight();
    // Each case says which stored pixel is seen at (x, y) of the upright picture, following
    // the EXIF description of where the stored first row and first column end up.
    switch (image.orientation()) {
    case ImageOrientation::Up:
        return remap(image, w, h, ImageOrientation::Up, [](int x, int y) {
            return std::pair{x, y};
        });
    case ImageOrientation::UpMirrored:
        return remap(image, w, h, ImageOrientation::Up, [w](int x, int y) {
            return std::pair{w - 1 - x, y};
        });
    case ImageOrientation::Down:
        return remap(image, w, h, ImageOrientation::Up, [w, h](int x, int y) {
            return std::pair{w - 1 - x, h - 1 - y};
        });
    case ImageOrientation::DownMirrored:
        return remap(image, w, h, ImageOrientation::Up, [h](int x, int y) {
            return std::pair{x, h - 1 - y};
        });
    case ImageOrientation::LeftMirrored:
        return remap(image, h, w, ImageOrientation::Up, [](int x, int y) {
            return std::pair{y, x};
        });
    case ImageOrientation::Right:
        return remap(image, h, w, ImageOrientation::Up, [h](int x, int y) {
            return std::pair{y, h - 1 - x};
        });
    case ImageOrientation::RightMirrored:
        return remap(image, h, w, ImageOrientation::Up, [w, h](int x, int y) {
            return std::pair{w - 1 - y, h - 1 - x};
        });
    case ImageOrientation::Left:
        return remap(image, h, w, ImageOrientation::Up, [w](int x, int y) {
            return std::pair{w - 1 - y, x};
        });
    }
    return remap(image, w, h, ImageOrientation::Up, [](int x, int y) { return std::pair{x, y}; });
}

ImageRef mirrored(const Image& image) {
    ImageRef turned;
    const Image* source = &image;
    if (image.orientation() != ImageOrientation::Up) {
        turned = uprightImage(image);
        if (!turned)
            return nullptr;
        source = turned.get();
    }
    const int w = source->pixelWidth();
    return remap(*source, w, source->pixelHeight(), ImageOrientation::Up, [w](int x, int y) {
        return std::pair{w - 1 - x, y};
    });
}

namespace {

// Where a frame lies in its portrait picture `width` pixels wide.
struct PortraitPlan {
    ImageRef turned;
    const Image* source = nullptr;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    // Rows the frame covers (and that are made); black below.
    int rows = 0;
    double scale = 1;
};

bool plan(const Image& frame, int width, int wanted, PortraitPlan& p) {
    if (width < 1 || frame.pixelWidth() < 1 || frame.pixelHeight() < 1)
        return false;
    p.source = &frame;
    if (frame.orientation() != ImageOrientation::Up) {
        p.turned = uprightImage(frame);
        if (!p.turned)
            return false;
        p.source = p.turned.get();
    }
    const int fw = p.source->pixelWidth();
    const int fh = p.source->pixelHeight();
    const int side = std::min(fw, fh);
    // Whole pixels keep an unscaled frame pixel-exact in the picture.
    p.left = (fw - side) / 2;
    p.top = (fh - side) / 2;
    p.width = width;
    p.scale = static_cast<double>(width) / side;
    p.height = width * 4 / 3;
    p.rows = std::clamp(static_cast<int>(std::lround((fh - p.top) * p.scale)), 0, p.height);
    if (wanted >= 0)
        p.rows = std::min(p.rows, wanted);
    return true;
}

// The frame over black, within whatever clip `cr` (in picture pixels) has.
void paint(cairo_t* cr, const PortraitPlan& p) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_rectangle(cr, 0, 0, p.width, p.rows);
    cairo_clip(cr);
    cairo_scale(cr, p.scale, p.scale);
    cairo_translate(cr, -p.left, -p.top);
    cairo_set_source_surface(cr, p.source->surface(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    // Padding keeps the frame's edge pixels from fading into transparency under the filter.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    // Bilinear is sharp and cheap down to half size; only below that does it start to drop
    // pixels, and the slower filtered path is worth its cost.
    cairo_pattern_set_filter(pattern, p.scale < 0.5 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace

ImageRef portraitPicture(const Image& frame, int width, int wanted) {
    PortraitPlan p;
    if (!plan(frame, width, wanted, p))
        return nullptr;
    cairo_surface_t* target = newSurface(p.width, p.height);
    if (!target)
        return nullptr;
    cairo_t* cr = cairo_create(target);
    paint(cr, p);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return Image::fromSurface(target);
}

bool repaintPortrait(cairo_surface_t* target, const Image& frame, int width, int wanted,
                     const std::vector<Rect>& changed) {
    PortraitPlan p;
    if (!target || !plan(frame, width, wanted, p) || frame.orientation() != ImageOrientation::Up ||
        cairo_image_surface_get_width(target) != p.width ||
        cairo_image_surface_get_height(target) != p.height)
        return false;
    // A frame pixel reaches the picture pixels its filter spreads it over.
    const double reach = std::ceil(2 * std::max(p.scale, 1.0)) + 2;
    cairo_t* cr = cairo_create(target);
    cairo_new_path(cr);
    for (const Rect& r : changed) {
        const double x0 = std::floor((r.minX() - p.left) * p.scale - reach);
        const double y0 = std::floor((r.minY() - p.top) * p.scale - reach);
        const double x1 = std::ceil((r.maxX() - p.left) * p.scale + reach);
        const double y1 = std::ceil((r.maxY() - p.top) * p.scale + reach);
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    }
    cairo_clip(cr);
    paint(cr, p);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return true;
}

ImageRef updatedPortraitPicture(const Image& previous, const Image& frame, int width, int wanted,
                                const std::vector<Rect>& changed) {
    const int height = width * 4 / 3;
    if (frame.orientation() != ImageOrientation::Up || previous.pixelWidth() != width ||
        previous.pixelHeight() != height || !previous.data())
        return portraitPicture(frame, width, wanted);
    cairo_surface_t* target = newSurface(width, height);
    if (!target)
        return nullptr;
    unsigned char* pixels = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels + std::ptrdiff_t(y) * stride,
                    previous.data() + std::ptrdiff_t(y) * previous.stride(),
                    std::size_t(width) * 4);
    cairo_surface_mark_dirty(target);
    if (!repaintPortrait(target, frame, width, wanted, changed)) {
        cairo_surface_destroy(target);
        return portraitPicture(frame, width, wanted);
    }
    return Image::fromSurface(target);
}

int stillPortraitWidth(const std::string& model) {
    return (model == "iPhone1,1" || model == "iPhone1,2") ? 1200 : 1536;
}

ImageRef makeStill(const Image& frame, const std::string& model) {
    const ImageRef portrait = portraitPicture(frame, stillPortraitWidth(model));
    if (!portrait)
        return nullptr;
    const int w = portrait->pixelWidth();
    const int h = portrait->pixelHeight();
    return remap(*portrait, h, w, ImageOrientation::Right, [w](int x, int y) {
        return std::pair{w - 1 - y, x};
    });
}

} // namespace platform
