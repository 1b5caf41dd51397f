#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BlendMode.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <string>
#include <string_view>

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

    cairo_t* cr_ = nullptr;
    double scale_ = 1.0;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
