#include "platform/graphics/ImageContext.h"

#include "platform/graphics/BitmapMapping.h"
#include "platform/graphics/CairoOperator.h"
#include "platform/graphics/FastDraw.h"
#include "platform/graphics/FontResolver.h"
#include "platform/graphics/GridColor.h"
#include "platform/graphics/MacRoman.h"
#include "platform/graphics/SurfaceHandle.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// Cairo refuses image surfaces wider or taller than this.
constexpr int kMaxSide = 32767;

bool finite(const Rect& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

double unit(double v) {
    return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
}

// MORVANE_SLOW_DRAWING=1 leaves every step to Cairo, to compare against the fast paths.
bool fastPathsByDefault() {
    static const bool enabled = [] {
        const char* value = std::getenv("MORVANE_SLOW_DRAWING");
        return !value || std::string_view(value).empty() || std::string_view(value) == "0";
    }();
    return enabled;
}

void copyPixels(cairo_surface_t* from, cairo_surface_t* to) {
    cairo_surface_flush(from);
    const std::uint8_t* src = cairo_image_surface_get_data(from);
    std::uint8_t* dst = cairo_image_surface_get_data(to);
    const int srcStride = cairo_image_surface_get_stride(from);
    const int dstStride = cairo_image_surface_get_stride(to);
    const std::size_t rowBytes = std::size_t(cairo_image_surface_get_width(from)) * 4;
    for (int y = 0; y < cairo_image_surface_get_height(from); ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * dstStride,
                    src + static_cast<std::size_t>(y) * srcStride, rowBytes);
    cairo_surface_mark_dirty(to);
}

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

} // namespace

struct ImageContext::Impl {
    struct State {
        BlendMode mode = BlendMode::Normal;
        double fill[4] = {0, 0, 0, 1};
        double stroke[4] = {0, 0, 0, 1};
        double alpha = 1;
        AffineTransform ctm;
        // A singular transformation is legal and simply draws nothing; Cairo would instead put
        // the whole context into an error state, so it never sees one.
        bool ctmUsable = true;
        FontFaceRef font;
        double fontSize = 12;
        int textMode = 0;
        bool antialias = true;
    };

    cairo_surface_t* surface = nullptr;
    State state;
    std::vector<State> saved;
    bool usesFastPaths = fastPathsByDefault();
    FastDraw fast;
    // Pictures made by makeImage() that share the surface instead of copying it; the first
    // drawing after them moves the context to a copy, so that they never change.
    std::vector<std::weak_ptr<const Image>> sharers;
    // No clip, no saved state and no raw access so far: all the Cairo context holds besides
    // the transformation is set afresh by each call, so a new one on a copy loses nothing.
    bool plainCairoState = true;
    // The pixels belong to the caller (see the constructor that takes them).
    bool borrowed = false;

    // Before anything writes pixels or Cairo state.
    void unshare(cairo_t*& cr) {
        if (sharers.empty())
            return;
        const bool shared = std::any_of(sharers.begin(), sharers.end(),
                                        [](const auto& image) { return !image.expired(); });
        sharers.clear();
        if (!shared)
            return;
        const int width = cairo_image_surface_get_width(surface);
        const int height = cairo_image_surface_get_height(surface);
        SurfaceHandle copy = makeArgbSurface(width, height, false);
        if (copy) {
            copyPixels(surface, copy.get());
        } else {
            // Without memory for a copy the context can only stop drawing.
            copy.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0));
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        surface = copy.release();
        cr = cairo_create(surface);
        setCTM(cr, state.ctm);
    }

    DrawTarget target(cairo_t* cr) const {
        return {cr, surface, state.ctm, state.mode, state.alpha};
    }

    cairo_operator_t op() const { return cairoOperatorFor(state.mode); }

    bool canDraw(cairo_t* cr) const {
        return state.ctmUsable && cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
               cairo_image_surface_get_width(surface) > 0 &&
               cairo_image_surface_get_height(surface) > 0;
    }

    void setCTM(cairo_t* cr, const AffineTransform& m) {
        state.ctm = m;
        const double det = m.a * m.d - m.b * m.c;
        state.ctmUsable = std::isfinite(det) && std::abs(det) > 1e-12 && std::isfinite(m.tx) &&
                          std::isfinite(m.ty);
        if (state.ctmUsable) {
            const cairo_matrix_t cm = toCairo(m);
            cairo_set_matrix(cr, &cm);
        }
    }

    void prepare(cairo_t* cr) const {
        cairo_set_operator(cr, op());
        cairo_set_antialias(cr, state.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    }

    // Cairo truncates a solid colour to 8 bits on its way to pixman; modes such as hard light
    // double that error. Handing it colours that already sit on the 8-bit grid (premultiplied
    // values rounded to the nearest step) keeps every mode within one step of exact.
    void setSourceColor(cairo_t* cr, const double c[4]) const {
        const GridColor color = GridColor::forFill(c, state.alpha);
        cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
    }

    void fillPath(cairo_t* cr) const { fillWithOperator(cr, op()); }
    void strokePath(cairo_t* cr) const { strokeWithOperator(cr, op(), surface); }

    // Draws a stored bitmap through a user-to-pixel mapping, confined to rect.
    void drawBitmap(cairo_t* cr, const Image& image, const AffineTransform& userToPixel,
                    const Rect& rect) {
        if (usesFastPaths && fast.drawImage(target(cr), rect, userToPixel, image))
            return;
        fast.flush(surface);
        SurfaceHandle wrapper(cairo_image_surface_create_for_data(
            const_cast<unsigned char*>(image.data()), CAIRO_FORMAT_ARGB32, image.pixelWidth(),
            image.pixelHeight(), image.stride()));
        if (cairo_surface_status(wrapper.get()) != CAIRO_STATUS_SUCCESS)
            return;
        // A fresh wrapper per draw: pictures are shared between threads, and Cairo keeps
        // per-use state on a source surface, so the shared surface itself is never a source.
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(wrapper.get());
        const cairo_matrix_t matrix = toCairo(userToPixel);
        cairo_pattern_set_matrix(pattern, &matrix);
        // Padding keeps the picture's edge pixels solid up to the rectangle's edge instead of
        // fading them into transparency.
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        const AffineTransform deviceToPixel = state.ctm.inverted().concat(userToPixel);
        cairo_pattern_set_filter(pattern, BitmapMapping::isPixelExact(deviceToPixel)
                                              ? CAIRO_FILTER_NEAREST
                                              : CAIRO_FILTER_GOOD);
        prepare(cr);
        if (state.alpha >= 1) {
            cairo_set_source(cr, pattern);
            cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
            fillPath(cr);
        } else if (op() == CAIRO_OPERATOR_OVER) {
            cairo_set_source(cr, pattern);
            cairo_save(cr);
            cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
            cairo_clip(cr);
            cairo_paint_with_alpha(cr, state.alpha);
            cairo_restore(cr);
        } else {
            // The constant alpha belongs to the source, before the blend mode sees it.
            cairo_push_group(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            cairo_set_source(cr, pattern);
            cairo_paint_with_alpha(cr, state.alpha);
            cairo_pop_group_to_source(cr);
            cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
            fillPath(cr);
        }
        cairo_new_path(cr);
        // Let go of the wrapper before the caller's picture may go away.
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_pattern_destroy(pattern);
    }

    void applyFont(cairo_t* cr) {
        if (!state.font)
            state.font = FontResolver::faceForName("Helvetica");
        cairo_set_font_face(cr, state.font.get());
        // Glyph space is y-up, as the platform's: with an identity text matrix the text stands
        // upright only once the caller has flipped the drawing space.
        cairo_matrix_t fontMatrix;
        cairo_matrix_init(&fontMatrix, state.fontSize, 0, 0, -state.fontSize, 0, 0);
        cairo_set_font_matrix(cr, &fontMatrix);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, state.antialias ? CAIRO_ANTIALIAS_GRAY
                                                                  : CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    }

    bool fontUsable() const { return std::isfinite(state.fontSize) && state.fontSize != 0; }
};

ImageContext::ImageContext(Size sizeInPoints, double scale) {
    if (!std::isfinite(scale) || scale <= 0)
        scale = 1;
    auto pixels = [scale](double points) {
        const double p = std::round(points * scale);
        return std::isfinite(p) && p > 0 ? static_cast<int>(std::min(p, double(kMaxSide) + 1)) : 0;
    };
    init(pixels(sizeInPoints.width), pixels(sizeInPoints.height), scale);
}

ImageContext::ImageContext(int pixelWidth, int pixelHeight) {
    init(pixelWidth, pixelHeight, 1.0);
}

void ImageContext::init(int pixelWidth, int pixelHeight, double scale) {
    impl_ = std::make_unique<Impl>();
    // A bitmap that cannot be made becomes an empty one: every call stays safe and draws
    // nothing, and makeImage() gives no picture.
    if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > kMaxSide || pixelHeight > kMaxSide ||
        static_cast<std::int64_t>(pixelWidth) * pixelHeight > Image::kMaxPixels)
        pixelWidth = pixelHeight = 0;
    // The memory is left as it is: it stands for transparent black until its pixels are
    // needed, and a first step that covers them all never clears it.
    cairo_surface_t* surface = makeArgbSurface(pixelWidth, pixelHeight, false).release();
    start(surface, scale, AffineTransform::makeScale(scale, scale), true);
}

ImageContext::ImageContext(std::uint8_t* pixels, int pixelWidth, int pixelHeight, int stride,
                           double scale, Point origin) {
    impl_ = std::make_unique<Impl>();
    if (!std::isfinite(scale) || scale <= 0)
        scale = 1;
    cairo_surface_t* surface = nullptr;
    if (pixels && pixelWidth > 0 && pixelHeight > 0 && pixelWidth <= kMaxSide &&
        pixelHeight <= kMaxSide && stride >= pixelWidth * 4 && std::isfinite(origin.x) &&
        std::isfinite(origin.y))
        surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, pixelWidth,
                                                      pixelHeight, stride);
    impl_->borrowed = true;
    // Never handed out as a picture: the memory is not the context's to share.
    impl_->plainCairoState = false;
    start(surface, scale,
          AffineTransform::makeScale(scale, scale)
              .concat(AffineTransform::makeTranslation(-origin.x, -origin.y)),
          false);
}

void ImageContext::start(cairo_surface_t* surface, double scale, const AffineTransform& ctm,
                         bool blank) {
    scale_ = scale;
    if (surface && cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        surface = nullptr;
    }
    impl_->surface = surface ? surface : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);
    if (blank)
        impl_->fast.startBlank();
    cr_ = cairo_create(impl_->surface);
    impl_->setCTM(cr_, ctm);
}

ImageContext::~ImageContext() {
    if (impl_->borrowed)
        flush();
    cairo_destroy(cr_);
    cairo_surface_destroy(impl_->surface);
}

int ImageContext::pixelWidth() const {
    return cairo_image_surface_get_width(impl_->surface);
}

int ImageContext::pixelHeight() const {
    return cairo_image_surface_get_height(impl_->surface);
}

void ImageContext::scaleCTM(double sx, double sy) {
    concatCTM(AffineTransform::makeScale(sx, sy));
}

void ImageContext::translateCTM(double tx, double ty) {
    concatCTM(AffineTransform::makeTranslation(tx, ty));
}

void ImageContext::rotateCTM(double angle) {
    concatCTM(AffineTransform::makeRotation(angle));
}

void ImageContext::concatCTM(const AffineTransform& transform) {
    impl_->setCTM(cr_, transform.concat(impl_->state.ctm));
}

AffineTransform ImageContext::ctm() const {
    return impl_->state.ctm;
}

void ImageContext::saveGState() {
    impl_->unshare(cr_);
    impl_->plainCairoState = false;
    cairo_save(cr_);
    impl_->saved.push_back(impl_->state);
}

void ImageContext::restoreGState() {
    if (impl_->saved.empty())
        return;
    cairo_restore(cr_);
    impl_->state = std::move(impl_->saved.back());
    impl_->saved.pop_back();
}

void ImageContext::clipToRect(const Rect& rect) {
    impl_->unshare(cr_);
    impl_->plainCairoState = false;
    if (!finite(rect) || !impl_->state.ctmUsable) {
        // Nothing can be inside a clip through a collapsed or undefined space.
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        cairo_rectangle(cr_, 0, 0, 0, 0);
        cairo_restore(cr_);
        cairo_clip(cr_);
        return;
    }
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(cr_);
}

void ImageContext::clipToPixelsOf(const Rect& rect) {
    if (!finite(rect) || !impl_->state.ctmUsable) {
        clipToRect(rect);
        return;
    }
    impl_->unshare(cr_);
    impl_->plainCairoState = false;
    const Rect box = impl_->state.ctm.boundingBox(rect);
    const double x0 = std::floor(box.minX()), y0 = std::floor(box.minY());
    const double x1 = std::ceil(box.maxX()), y1 = std::ceil(box.maxY());
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
    cairo_restore(cr_);
    cairo_clip(cr_);
}

void ImageContext::clipToPixelRects(const std::vector<Rect>& rects) {
    impl_->unshare(cr_);
    impl_->plainCairoState = false;
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_new_path(cr_);
    for (const Rect& r : rects)
        if (finite(r))
            cairo_rectangle(cr_, std::floor(r.minX()), std::floor(r.minY()),
                            std::ceil(r.maxX()) - std::floor(r.minX()),
                            std::ceil(r.maxY()) - std::floor(r.minY()));
    cairo_restore(cr_);
    cairo_clip(cr_);
}

Rect ImageContext::clipBoundsInPixels() const {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_restore(cr_);
    return {x0, y0, x1 - x0, y1 - y0};
}

void ImageContext::setAlpha(double alpha) {
    impl_->state.alpha = unit(alpha);
}

void ImageContext::setBlendMode(BlendMode mode) {
    impl_->state.mode = mode;
}

BlendMode ImageContext::blendMode() const {
    return impl_->state.mode;
}

void ImageContext::setRGBFillColor(double red, double green, double blue, double alpha) {
    double* fill = impl_->state.fill;
    fill[0] = unit(red);
    fill[1] = unit(green);
    fill[2] = unit(blue);
    fill[3] = unit(alpha);
}

void ImageContext::setFillColor(const double components[4]) {
    if (components)
        setRGBFillColor(components[0], components[1], components[2], components[3]);
}

void ImageContext::setRGBStrokeColor(double red, double green, double blue, double alpha) {
    double* stroke = impl_->state.stroke;
    stroke[0] = unit(red);
    stroke[1] = unit(green);
    stroke[2] = unit(blue);
    stroke[3] = unit(alpha);
}

void ImageContext::fillRect(const Rect& rect) {
    if (!impl_->canDraw(cr_) || !finite(rect) || rect.isEmpty())
        return;
    impl_->unshare(cr_);
    const bool fast =
        impl_->usesFastPaths &&
        impl_->fast.fillRect(impl_->target(cr_), rect,
                             GridColor::forFill(impl_->state.fill, impl_->state.alpha));
    if (fast)
        return;
    impl_->fast.flush(impl_->surface);
    impl_->prepare(cr_);
    impl_->setSourceColor(cr_, impl_->state.fill);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    impl_->fillPath(cr_);
    cairo_new_path(cr_);
}

void ImageContext::drawImage(const Rect& rect, const Image& image) {
    if (!impl_->canDraw(cr_) || !finite(rect) || rect.isEmpty())
        return;
    impl_->unshare(cr_);
    const Rect r{rect.minX(), rect.minY(), rect.maxX() - rect.minX(), rect.maxY() - rect.minY()};
    const double sx = image.pixelWidth() / r.width();
    const double sy = image.pixelHeight() / r.height();
    // First stored row at the rectangle's largest y.
    const AffineTransform userToPixel{sx, 0, 0, -sy, -r.x() * sx, r.maxY() * sy};
    impl_->drawBitmap(cr_, image, userToPixel, r);
}

void ImageContext::drawImageUpright(const Rect& rect, const Image& image) {
    if (!impl_->canDraw(cr_) || !finite(rect) || rect.isEmpty())
        return;
    impl_->unshare(cr_);
    const Rect r{rect.minX(), rect.minY(), rect.maxX() - rect.minX(), rect.maxY() - rect.minY()};
    const Size shown = image.size();
    const double sx = shown.width / r.width();
    const double sy = shown.height / r.height();
    const AffineTransform userToShown{sx, 0, 0, sy, -r.x() * sx, -r.y() * sy};
    impl_->drawBitmap(cr_, image,
                      userToShown.concat(BitmapMapping::displayedToStored(
                          image.orientation(), shown.width, shown.height)),
                      r);
}

void ImageContext::selectFont(const std::string& name, double size) {
    impl_->state.font = FontResolver::faceForName(name);
    impl_->state.fontSize = size;
}

void ImageContext::setFont(FontFaceRef face, double size) {
    impl_->state.font = std::move(face);
    impl_->state.fontSize = size;
}

void ImageContext::setTextDrawingMode(int mode) {
    if (mode >= 0 && mode <= 7)
        impl_->state.textMode = mode;
}

void ImageContext::setShouldAntialias(bool antialias) {
    impl_->state.antialias = antialias;
}

void ImageContext::showTextAtPoint(Point point, std::string_view bytes) {
    if (!impl_->canDraw(cr_) || !std::isfinite(point.x) || !std::isfinite(point.y) ||
        !impl_->fontUsable())
        return;
    const std::string text = MacRoman::toUtf8(bytes);
    if (text.empty())
        return;
    impl_->unshare(cr_);
    impl_->fast.flush(impl_->surface);
    impl_->applyFont(cr_);
    impl_->prepare(cr_);
    cairo_new_path(cr_);
    cairo_move_to(cr_, point.x, point.y);
    cairo_text_path(cr_, text.c_str());
    // Modes 0..3: fill, stroke, fill then stroke, invisible; 4..7 add the text to the clip.
    const int mode = impl_->state.textMode;
    const int paint = mode & 3;
    if (paint == 0 || paint == 2) {
        impl_->setSourceColor(cr_, impl_->state.fill);
        impl_->fillPath(cr_);
    }
    if (paint == 1 || paint == 2) {
        impl_->setSourceColor(cr_, impl_->state.stroke);
        impl_->strokePath(cr_);
    }
    if (mode >= 4) {
        impl_->plainCairoState = false;
        cairo_clip(cr_);
    }
    cairo_new_path(cr_);
}

double ImageContext::textWidth(std::string_view text) {
    if (!impl_->fontUsable() || cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
        return 0;
    const std::string utf8 = MacRoman::toUtf8(text);
    if (utf8.empty())
        return 0;
    impl_->applyFont(cr_);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, utf8.c_str(), &extents);
    return extents.x_advance;
}

void ImageContext::setUsesFastPaths(bool uses) {
    impl_->usesFastPaths = uses;
}

bool ImageContext::usesFastPaths() const {
    return impl_->usesFastPaths;
}

cairo_t* ImageContext::cairo() {
    // Whatever is drawn through the raw context is out of sight of the fast paths, and may
    // leave state behind that a new Cairo context would not have.
    impl_->unshare(cr_);
    impl_->fast.flush(impl_->surface);
    impl_->plainCairoState = false;
    return cr_;
}

void ImageContext::flush() {
    impl_->fast.flush(impl_->surface);
    cairo_surface_flush(impl_->surface);
}

ImageRef ImageContext::makeImage() const {
    const int width = pixelWidth();
    const int height = pixelHeight();
    if (width <= 0 || height <= 0)
        return nullptr;
    impl_->fast.flush(impl_->surface);
    cairo_surface_flush(impl_->surface);
    if (impl_->plainCairoState) {
        // Usually the last thing a context does: hand over the pixels rather than copy them.
        ImageRef image = Image::fromSurface(cairo_surface_reference(impl_->surface));
        if (image)
            impl_->sharers.push_back(image);
        return image;
    }
    SurfaceHandle copy = makeArgbSurface(width, height, false);
    if (!copy)
        return nullptr;
    copyPixels(impl_->surface, copy.get());
    return Image::fromSurface(copy.release());
}

} // namespace platform
