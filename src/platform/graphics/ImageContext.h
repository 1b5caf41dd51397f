#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/FontResolver.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;

namespace platform {

// A bitmap image context: an object, not a "current context", so that contexts on several
// threads never meet. A fresh context is transparent, has its origin at the top left with y
// growing downward, draws in normal blend mode with opaque black fill, and has an identity
// text matrix. Sizes are in points; the bitmap has size × scale pixels.
class ImageContext {
public:
    ImageContext(Size sizeInPoints, double scale = 1.0);
    ImageContext(int pixelWidth, int pixelHeight);
    // Draws into pixels it does not own: pixelWidth × pixelHeight premultiplied ARGB32 words,
    // rows `stride` bytes apart, standing for the part of a larger picture at `scale` whose
    // top left pixel is `origin` (in pixels of that picture), and holding that part of the
    // picture as it stands. What is drawn lands in them exactly as it would in the same place
    // of the whole picture drawn in one context. Everything drawn is in them by the time the
    // context is gone (or after flush()); they must outlive it.
    ImageContext(std::uint8_t* pixels, int pixelWidth, int pixelHeight, int stride, double scale,
                 Point origin);
    ~ImageContext();
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;

    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const { return scale_; }

    // Transformation: each call puts its transform in front of the current one, so it acts
    // on drawing coordinates first.
    void scaleCTM(double sx, double sy);
    void translateCTM(double tx, double ty);
    void rotateCTM(double angle);
    void concatCTM(const AffineTransform& transform);
    AffineTransform ctm() const;

    void saveGState();
    void restoreGState();
    void clipToRect(const Rect& rect);
    // Clips to the smallest rectangle of whole device pixels holding `rect`: a clip whose
    // edges never cut a pixel, so it changes nothing inside it.
    void clipToPixelsOf(const Rect& rect);
    // Clips to the union of rectangles of whole device pixels (this context's pixels).
    void clipToPixelRects(const std::vector<Rect>& rects);
    // The bounding box of the clip in device pixels (the whole bitmap when nothing clips).
    Rect clipBoundsInPixels() const;
    // Constant alpha applied to every later fill and draw.
    void setAlpha(double alpha);

    void setBlendMode(BlendMode mode);
    BlendMode blendMode() const;
    void setRGBFillColor(double red, double green, double blue, double alpha);
    // Four components in device RGB: red, green, blue, alpha.
    void setFillColor(const double components[4]);
    // Used by the stroking text modes (1 and 2); opaque black in a fresh context.
    void setRGBStrokeColor(double red, double green, double blue, double alpha);
    void fillRect(const Rect& rect);

    // Draws the stored bitmap stretched over rect with its first stored row at the rect's
    // largest y, ignoring the orientation flag: in this y-down space the picture comes out
    // upside down unless the caller flips the space first.
    void drawImage(const Rect& rect, const Image& image);
    // Draws the picture as it is shown: upright after its orientation flag, first row at
    // the rect's top. What an image view does.
    void drawImageUpright(const Rect& rect, const Image& image);

    // Text. Font names are matched through fontconfig; a name that matches nothing falls back
    // to a plain sans. Mode 0 fills. The text is drawn as the platform draws it: its baseline
    // starts at the point and it stands upright in a y-up space (upside down in the raw
    // y-down context), in the fill colour and blend mode.
    void selectFont(const std::string& name, double size);
    // The same with a face looked up once (FontResolver) and kept by the caller, so that text
    // drawn again and again does not ask fontconfig each time. A null face is Helvetica.
    void setFont(FontFaceRef face, double size);
    void setTextDrawingMode(int mode);
    void setShouldAntialias(bool antialias);
    void showTextAtPoint(Point point, std::string_view bytes);
    // The advance width of text in the selected font, in drawing units.
    double textWidth(std::string_view text);

    // Steps that prints are made of take shortcuts that give what Cairo gives (within one
    // step of 255 per channel); off, every step is drawn by Cairo itself. On by default,
    // unless the environment sets MORVANE_SLOW_DRAWING=1.
    void setUsesFastPaths(bool uses);
    bool usesFastPaths() const;

    // Writes everything held back into the pixels (the fast paths defer work).
    void flush();

    // The picture drawn so far, as a new immutable image; the context stays usable.
    ImageRef makeImage() const;

    // For drawing code inside the platform (views, alerts, spinner): the Cairo context with
    // the current state. Its user space is the current transformation in y-down points.
    // Change the transformation through this class (so ctm() stays true), and bracket any
    // other state change with cairo_save/cairo_restore; the blend mode and colours are set
    // afresh by every drawing call here.
    cairo_t* cairo();

private:
    void init(int pixelWidth, int pixelHeight, double scale);
    // `blank`: the surface's memory stands for transparent black, whatever it holds.
    void start(cairo_surface_t* surface, double scale, const AffineTransform& ctm, bool blank);

    cairo_t* cr_ = nullptr;
    double scale_ = 1.0;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
