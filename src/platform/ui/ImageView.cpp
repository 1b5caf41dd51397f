#include "platform/ui/ImageView.h"

#include "platform/graphics/ImageContext.h"

#include <algorithm>

namespace platform {

namespace {

// The window draws at half a pixel a point at the least, and smoothing reaches about a
// pixel beyond the picture pixels under each screen pixel, twice that to be safe.
constexpr double kReachInScreenPixels = 2;
constexpr double kSmallestScale = 0.5;

} // namespace

ImageView::ImageView(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
}

void ImageView::setImage(ImageRef image) {
    image_ = std::move(image);
    coverage_.reset();
    setNeedsDisplay();
}

const ImageCoverage& ImageView::coverage() const {
    if (!coverage_)
        coverage_ = image_ ? ImageCoverage::of(*image_) : ImageCoverage{};
    return *coverage_;
}

double ImageView::filterReach() const {
    const Rect b = bounds();
    const Size shown = image_->size();
    // Points per picture pixel, along the axis where it is largest.
    const double pointsPerPixel = std::max(std::abs(b.width()) / std::max(shown.width, 1.0),
                                           std::abs(b.height()) / std::max(shown.height, 1.0));
    return 2 * pointsPerPixel + kReachInScreenPixels / kSmallestScale;
}

Rect ImageView::inkedRect() const {
    const Rect b = bounds();
    if (!image_)
        return {};
    const ImageCoverage& c = coverage();
    if (c.inked.isEmpty())
        return {};
    const double w = image_->pixelWidth(), h = image_->pixelHeight();
    // Turned or mirrored pictures are rare here: the whole of them is drawn.
    if (image_->orientation() != ImageOrientation::Up || c.inked == Rect{0, 0, w, h})
        return b;
    const double sx = b.width() / w, sy = b.height() / h, reach = filterReach();
    const Rect inked{b.x() + c.inked.x() * sx - reach, b.y() + c.inked.y() * sy - reach,
                     c.inked.width() * sx + 2 * reach, c.inked.height() * sy + 2 * reach};
    return inked.intersection(b);
}

Rect ImageView::opaqueRect() const {
    const Rect background = View::opaqueRect();
    if (!background.isEmpty() || !image_)
        return background;
    const ImageCoverage& c = coverage();
    const double w = image_->pixelWidth(), h = image_->pixelHeight();
    const Rect b = bounds();
    if (c.opaqueRows == Rect{0, 0, w, h})
        return b;
    if (c.opaqueRows.isEmpty() || image_->orientation() != ImageOrientation::Up)
        return {};
    const double sy = b.height() / h, reach = filterReach();
    // The picture's own edges are padded, not blended: only inner edges lose the reach.
    const double y0 = b.y() + c.opaqueRows.minY() * sy + (c.opaqueRows.minY() > 0 ? reach : 0);
    const double y1 = b.y() + c.opaqueRows.maxY() * sy - (c.opaqueRows.maxY() < h ? reach : 0);
    return y1 > y0 ? Rect{b.x(), y0, b.width(), y1 - y0} : Rect{};
}

void ImageView::draw(ImageContext& context) {
    View::draw(context);
    if (!image_)
        return;
    const Rect b = bounds();
    const Rect inked = inkedRect();
    if (inked.isEmpty())
        return;
    if (inked == b) {
        context.drawImageUpright(b, *image_);
        return;
    }
    // Clipped to whole screen pixels around what the picture holds: the same pixels, without
    // blending transparent ones over everything else.
    context.saveGState();
    context.clipToPixelsOf(inked);
    context.drawImageUpright(b, *image_);
    context.restoreGState();
}

} // namespace platform
