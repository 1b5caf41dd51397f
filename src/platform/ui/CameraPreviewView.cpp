#include "platform/ui/CameraPreviewView.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/CameraSource.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/PixelTiles.h"
#include "platform/ui/OpaqueCovers.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <vector>

namespace platform {

namespace {
// Wider than any window draws it; keeps a bad scale from asking for a giant picture.
constexpr int kMaxPixelWidth = 4096;
// How long after a frame is due the view looks for it (seconds), so that a timer a hair early
// does not find the old one.
constexpr double kFrameLateness = 0.001;
// Frames are compared in tiles this many pixels square; where more than this share of a
// frame changed, all of the picture is drawn again.
constexpr int kChangeTile = 16;
constexpr double kWholeShare = 0.6;
// How far (frame pixels) smoothing carries a changed pixel into its neighbours on screen,
// for a frame drawn no smaller than itself.
constexpr double kChangeReach = 2;
// The status lines, in points.
constexpr double kStatusFontSize = 18;
constexpr double kStatusLineHeight = 24;
constexpr double kStatusMargin = 16;

// The lines of text for a width: at newlines, then at spaces where a line is too wide.
std::vector<std::string> brokenLines(ImageContext& context, const std::string& text, double width) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line;
        std::size_t word = start;
        while (word < end) {
            const std::size_t space = std::min(text.find(' ', word), end);
            const std::string piece = text.substr(word, space - word);
            const std::string longer = line.empty() ? piece : line + " " + piece;
            if (!line.empty() && context.textWidth(longer) > width) {
                lines.push_back(line);
                line = piece;
            } else {
                line = longer;
            }
            word = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
} // namespace

CameraPreviewView::CameraPreviewView(Rect frame) : View(frame) {
    setBackgroundColor(Color::black());
    setUserInteractionEnabled(false);
}

CameraPreviewView::~CameraPreviewView() {
    if (pollTimer_)
        pollTimer_->invalidate();
}

void CameraPreviewView::setSource(std::shared_ptr<CameraSource> source) {
    if (source == source_)
        return;
    source_ = std::move(source);
    shownFrame_.reset();
    looked_ = false;
    lastCounter_ = 0;
    cachedFrame_.reset();
    cachedPortrait_.reset();
    setNeedsDisplay();
}

void CameraPreviewView::setMirrored(bool mirrored) {
    if (mirrored == mirrored_)
        return;
    mirrored_ = mirrored;
    setNeedsDisplay();
}

void CameraPreviewView::setSquareTreatment(SquareTreatment treatment) {
    // None after none changes nothing on the screen, so nothing is drawn again.
    if (!treatment && !treatment_)
        return;
    treatment_ = std::move(treatment);
    treated_.reset();
    treatedMade_ = false;
    setNeedsDisplay();
}

bool CameraPreviewView::showsMirror() const {
    return mirrored_ && source_ && source_->isWebcam();
}

void CameraPreviewView::setStatusText(StatusText text, std::string fontName) {
    statusText_ = std::move(text);
    statusFont_ = std::move(fontName);
    setNeedsDisplay();
}

Rect CameraPreviewView::pictureRect() const {
    const Rect b = bounds();
    return {b.x(), b.y(), b.width(), b.width() * 4 / 3};
}

void CameraPreviewView::startUpdating() {
    if (updating_)
        return;
    updating_ = true;
    setNeedsDisplay();
    if (!RunLoop::main().isVirtual())
        poll();
}

void CameraPreviewView::stopUpdating() {
    updating_ = false;
    if (pollTimer_)
        pollTimer_->invalidate();
    pollTimer_.reset();
    shownFrame_.reset();
    looked_ = false;
}

Rect CameraPreviewView::visiblePictureRect() const {
    const auto w = window();
    if (!w || !w->isScreenVisible())
        return {};
    const double now = RunLoop::main().now();
    const Rect area = rectInRoot(pictureRect().intersection(bounds()), now);
    if (area.isEmpty())
        return {};
    return OpaqueCovers(*w, now).visiblePart(*this, area);
}

void CameraPreviewView::didMoveToSuperview() {
    // Back in a window, it may be seen again.
    if (updating_ && !pollTimer_ && !RunLoop::main().isVirtual())
        poll();
}

void CameraPreviewView::waitToBeSeen() {
    if (waiting_)
        return;
    if (auto w = window()) {
        waiting_ = true;
        w->whenScreenChanges([weak = weak_from_this()] {
            if (auto self = std::static_pointer_cast<CameraPreviewView>(weak.lock())) {
                self->waiting_ = false;
                if (self->updating_ && !self->pollTimer_)
                    self->poll();
            }
        });
    }
}

void CameraPreviewView::poll() {
    pollTimer_.reset();
    if (!updating_)
        return;
    const std::uint64_t counter = source_ ? source_->frameCounter() : 0;
    if (source_ && (counter != lastCounter_ || !looked_)) {
        // Only a new frame makes it worth asking whether anyone can see it.
        const Rect visible = visiblePictureRect();
        if (visible.isEmpty()) {
            waitToBeSeen();
            return;
        }
        lastCounter_ = counter;
        looked_ = true;
        const ImageRef before = std::move(shownFrame_);
        shownFrame_ = source_->frame(RunLoop::main().now());
        CameraStatus status = source_->status();
        const bool mirror = showsMirror();
        if (shownFrame_)
            visibleBottom_ = convertPointFromView({visible.x(), visible.maxY()}, nullptr).y;
        if (before && shownFrame_ && status == shownStatus_ && mirror == shownMirror_) {
            noteDrawingChanged();
            markChanges(before, visible);
        } else if (before || shownFrame_ || status != shownStatus_) {
            // A frame where there was none or the other way round, another status, the
            // mirror turned: the picture is not the last one changed in parts.
            setNeedsDisplay();
        }
        shownStatus_ = std::move(status);
        shownMirror_ = mirror;
    }
    // A picture never changes by itself; a live source (or one that may turn live when its
    // webcam gives way to the scene) is looked at again next frame.
    if (source_ && !source_->isLive() && looked_)
        return;
    // A source that knows when its next frame comes is looked at just after; others often
    // enough not to keep a new frame waiting long.
    const double next = source_ ? source_->secondsToNextFrame() : 0;
    const double delay = next > 0 ? next + kFrameLateness : kPollInterval;
    pollTimer_ = Timer::scheduledTimer(delay, [weak = weak_from_this()] {
        if (auto self = std::static_pointer_cast<CameraPreviewView>(weak.lock()))
            self->poll();
    });
}

void CameraPreviewView::markChanges(const ImageRef& before, const Rect& visible) {
    const auto w = window();
    if (!w)
        return;
    const Image& after = *shownFrame_;
    const int fw = after.pixelWidth(), fh = after.pixelHeight();
    frameChanges_.clear();
    changesFrom_.reset();
    if (!before || after.orientation() != ImageOrientation::Up ||
        before->orientation() != ImageOrientation::Up) {
        w->invalidate(visible);
        return;
    }
    // Kept for the portrait, which is made again where the same frames differ.
    frameChanges_ = PixelTiles::changed(*before, after, kChangeTile);
    changesFrom_ = before;
    const std::vector<Rect>& changed = frameChanges_;
    if (PixelTiles::share(changed, fw, fh) > kWholeShare) {
        w->invalidate(visible);
        return;
    }
    // Frame pixels to points of the picture, as the portrait lays the centre square out.
    const int side = std::min(fw, fh);
    const double left = (fw - side) / 2, top = (fh - side) / 2;
    const Rect area = pictureRect();
    const double perPixel = area.width() / side;
    // Smoothing spreads a pixel over its neighbours, and a frame shrunk a lot spreads it
    // further. (Drawn at another scale, the whole screen is drawn anyway.)
    const double reach = kChangeReach * std::max(1.0, side / (area.width() * drawnScale_));
    const double now = RunLoop::main().now();
    for (const Rect& r : changed) {
        const double x0 = (r.minX() - left - reach) * perPixel;
        const double x1 = (r.maxX() - left + reach) * perPixel;
        const Rect inPicture{shownMirror_ ? area.width() - x1 : x0,
                             (r.minY() - top - reach) * perPixel, x1 - x0,
                             (r.height() + 2 * reach) * perPixel};
        const Rect shown{area.x() + inPicture.x(), area.y() + inPicture.y(), inPicture.width(),
                         inPicture.height()};
        w->invalidate(rectInRoot(shown.intersection(bounds()), now).intersection(visible));
    }
}

ImageRef CameraPreviewView::updatedPortrait(const Image& frame, int pixelWidth,
                                            const std::vector<Rect>& changed) {
    // Held by nobody else, the old portrait can give its memory to the new one: it is gone
    // before a pixel of that memory changes, so no picture ever changes.
    if (cachedPortrait_.use_count() == 1) {
        cairo_surface_t* memory = cairo_surface_reference(cachedPortrait_->surface());
        cachedPortrait_.reset();
        if (repaintPortrait(memory, frame, pixelWidth, cachedRows_, changed))
            return Image::fromSurface(memory);
        cairo_surface_destroy(memory);
        return portraitPicture(frame, pixelWidth, cachedRows_);
    }
    return updatedPortraitPicture(*cachedPortrait_, frame, pixelWidth, cachedRows_, changed);
}

int CameraPreviewView::rowsShown(ImageContext& context, const Rect& area, int pixelWidth,
                                 double bottom) {
    const AffineTransform m = context.ctm();
    const double height = pixelWidth * 4 / 3;
    if (m.b != 0 || m.c != 0 || m.d <= 0 || area.isEmpty())
        return -1;
    const double lowest = std::max(context.clipBoundsInPixels().maxY(), m.d * bottom + m.ty);
    const double top = m.d * area.minY() + m.ty;
    const double perRow = m.d * area.height() / height;
    // Smoothing reads a row or two past the last one shown.
    const double rows = std::ceil((lowest - top) / perRow) + 2;
    return rows >= height ? -1 : static_cast<int>(std::max(rows, 0.0));
}

ImageRef CameraPreviewView::portraitOf(const ImageRef& frame, int pixelWidth, int rows,
                                       bool mirror) {
    const bool enough = rows >= 0 ? (cachedRows_ < 0 || cachedRows_ >= rows) : cachedRows_ < 0;
    const bool same = pixelWidth == cachedWidth_ && mirror == cachedMirrored_ && enough;
    if (frame == cachedFrame_ && same)
        return cachedPortrait_;
    // A live frame taken while updating differs from the last in parts: only those are made
    // again. Snapshots of a virtual clock always make the whole, as they always did.
    if (same && !mirror && cachedPortrait_ && cachedFrame_ && frame == shownFrame_) {
        const std::vector<Rect> changed =
            cachedFrame_ == changesFrom_ ? frameChanges_
                                         : PixelTiles::changed(*cachedFrame_, *frame, kChangeTile);
        if (PixelTiles::share(changed, frame->pixelWidth(), frame->pixelHeight()) <= kWholeShare) {
            if (!changed.empty()) {
                cachedPortrait_ = updatedPortrait(*frame, pixelWidth, changed);
                ++portraitNumber_;
            }
            cachedFrame_ = frame;
            return cachedPortrait_;
        }
    }
    cachedFrame_ = frame;
    cachedWidth_ = pixelWidth;
    cachedMirrored_ = mirror;
    cachedRows_ = rows;
    cachedPortrait_ = portraitPicture(*frame, pixelWidth, rows);
    if (cachedPortrait_ && mirror)
        cachedPortrait_ = mirrored(*cachedPortrait_);
    ++portraitNumber_;
    return cachedPortrait_;
}

ImageRef CameraPreviewView::treatedSquare(const ImageRef& portrait) {
    // Every part of the picture drawn for one frame shows the same treated square, made once.
    if (!treatedMade_ || treatedNumber_ != portraitNumber_) {
        treated_ = treatment_(*portrait);
        treatedNumber_ = portraitNumber_;
        treatedMade_ = true;
        const int side = portrait->pixelWidth();
        if (treated_ && (treated_->pixelWidth() != side || treated_->pixelHeight() != side))
            treated_.reset();
    }
    return treated_;
}

void CameraPreviewView::fillAround(ImageContext& context, const Rect& picture) {
    const Rect b = bounds();
    const std::optional<Color>& color = backgroundColor();
    if (!color || color->alpha <= 0)
        return;
    // The portrait is opaque (drawn over black when it is made), so the pixels it covers
    // whole need no background beneath: only what lies below its last whole row does.
    const AffineTransform m = context.ctm();
    const Rect shown = picture.intersection(b);
    bool spared = false;
    double cut = b.minY();
    if (m.b == 0 && m.c == 0 && m.a > 0 && m.d > 0 && !shown.isEmpty() &&
        shown.minX() == b.minX() && shown.maxX() == b.maxX() && shown.minY() == b.minY()) {
        auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-9; };
        const double left = m.a * b.minX() + m.tx, right = m.a * b.maxX() + m.tx;
        const double top = m.d * b.minY() + m.ty;
        if (whole(left) && whole(right) && whole(top)) {
            cut = (std::floor(m.d * shown.maxY() + m.ty + 1e-9) - m.ty) / m.d;
            spared = cut > b.minY();
        }
    }
    if (!spared) {
        View::draw(context);
        return;
    }
    if (cut < b.maxY()) {
        context.setRGBFillColor(color->red, color->green, color->blue, color->alpha);
        context.fillRect({b.x(), cut, b.width(), b.maxY() - cut});
    }
}

void CameraPreviewView::draw(ImageContext& context) {
    // Updating on a real clock, every part drawn shows what the last look found, so that
    // parts drawn at different moments fit together; otherwise the source's moment now.
    const bool looked = updating_ && looked_;
    ImageRef frame = shownFrame_;
    if (!looked && source_)
        frame = source_->frame(RunLoop::main().now());
    const CameraStatus status = looked || !source_ ? shownStatus_ : source_->status();
    const bool mirror = looked ? shownMirror_ : showsMirror();
    const Rect area = pictureRect();
    drawnScale_ = context.scale();
    const double wanted = std::round(area.width() * context.scale());
    const int pixelWidth =
        std::isfinite(wanted) ? std::clamp(static_cast<int>(wanted), 1, kMaxPixelWidth) : 1;
    int rows = rowsShown(context, area, pixelWidth, looked ? visibleBottom_ : 0);
    // The treatment is handed the whole square, however little of it shows.
    if (treatment_ && rows >= 0)
        rows = std::max(rows, pixelWidth);
    const ImageRef portrait = frame ? portraitOf(frame, pixelWidth, rows, mirror) : nullptr;
    if (portrait) {
        fillAround(context, area);
        context.saveGState();
        context.clipToRect(bounds());
        context.drawImageUpright(area, *portrait);
        if (treatment_)
            if (const ImageRef square = treatedSquare(portrait))
                context.drawImageUpright({area.x(), area.y(), area.width(), area.width()}, *square);
        context.restoreGState();
    } else {
        View::draw(context);
    }
    if (source_ && status.kind != CameraStatus::Kind::Live && statusText_)
        if (const std::string text = statusText_(status); !text.empty())
            drawStatus(context, text, portrait != nullptr);
}

void CameraPreviewView::drawStatus(ImageContext& context, const std::string& text,
                                   bool overPicture) {
    const Rect b = bounds();
    const double side = std::min(b.width(), b.height());
    context.saveGState();
    context.clipToRect(b);
    context.selectFont(statusFont_, kStatusFontSize);
    const double width = side - 2 * kStatusMargin;
    const bool plain = TextLayout::isPlainText(text);
    std::vector<std::string> lines;
    if (plain) {
        lines = brokenLines(context, text, width);
    } else if (!statusLayout_ || statusLayoutText_ != text || statusLayout_->width() != width) {
        const auto fitting = static_cast<int>(std::max(1.0, width / kStatusLineHeight));
        statusLayout_ =
            std::make_unique<TextLayout>(text, TextLayout::Font{statusFont_, kStatusFontSize},
                                         width, fitting, TextLayout::Alignment::Center);
        statusLayoutText_ = text;
    }
    const double height =
        static_cast<double>(plain ? lines.size()
                                  : static_cast<std::size_t>(statusLayout_->lineCount())) *
        kStatusLineHeight;
    // Below the middle of the square on a band over a picture, so the picture still shows;
    // in the middle of the empty square otherwise.
    const double top = overPicture ? side - height - 2 * kStatusMargin : (side - height) / 2;
    if (overPicture) {
        context.setRGBFillColor(0, 0, 0, 0.6);
        context.fillRect(
            {b.x(), b.y() + top - kStatusMargin / 2, b.width(), height + kStatusMargin});
    }
    if (!plain) {
        statusLayout_->draw(context, {b.x() + (b.width() - width) / 2, b.y() + top},
                            kStatusLineHeight, kStatusFontSize, {0.96, 0.94, 0.9, 1});
        context.restoreGState();
        return;
    }
    context.setRGBFillColor(0.96, 0.94, 0.9, 1);
    context.setTextDrawingMode(0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double lineWidth = context.textWidth(lines[i]);
        const double baseline =
            b.y() + top + static_cast<double>(i) * kStatusLineHeight + kStatusFontSize;
        context.saveGState();
        // Text stands upright in a y-up space; views are y-down.
        context.translateCTM(b.x() + (b.width() - lineWidth) / 2, baseline);
        context.scaleCTM(1, -1);
        context.showTextAtPoint({0, 0}, lines[i]);
        context.restoreGState();
    }
    context.restoreGState();
}

} // namespace platform
