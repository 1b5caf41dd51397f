#include "platform/ui/CameraPreviewView.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/CameraSource.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {
// Wider than any window draws it; keeps a bad scale from asking for a giant picture.
constexpr int kMaxPixelWidth = 4096;
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
}

void CameraPreviewView::poll() {
    if (!updating_)
        return;
    if (source_ && source_->frameCounter() != lastCounter_)
        setNeedsDisplay();
    // A picture never changes by itself; a live source (or one that may turn live when its
    // webcam gives way to the scene) is looked at again next frame.
    if (source_ && !source_->isLive() && source_->frameCounter() == lastCounter_ &&
        lastCounter_ != 0)
        return;
    pollTimer_ = Timer::scheduledTimer(kPollInterval, [weak = weak_from_this()] {
        if (auto self = std::static_pointer_cast<CameraPreviewView>(weak.lock()))
            self->poll();
    });
}

ImageRef CameraPreviewView::portraitOf(const ImageRef& frame, int pixelWidth, bool mirror) {
    if (frame != cachedFrame_ || pixelWidth != cachedWidth_ || mirror != cachedMirrored_) {
        cachedFrame_ = frame;
        cachedWidth_ = pixelWidth;
        cachedMirrored_ = mirror;
        cachedPortrait_ = portraitPicture(*frame, pixelWidth);
        if (cachedPortrait_ && mirror)
            cachedPortrait_ = mirrored(*cachedPortrait_);
    }
    return cachedPortrait_;
}

void CameraPreviewView::draw(ImageContext& context) {
    View::draw(context);
    if (!source_)
        return;
    lastCounter_ = source_->frameCounter();
    const ImageRef frame = source_->frame(RunLoop::main().now());
    const CameraStatus status = source_->status();
    if (frame) {
        const Rect area = pictureRect();
        const double wanted = std::round(area.width() * context.scale());
        const int pixelWidth =
            std::isfinite(wanted) ? std::clamp(static_cast<int>(wanted), 1, kMaxPixelWidth) : 1;
        if (const ImageRef portrait =
                portraitOf(frame, pixelWidth, mirrored_ && source_->isWebcam())) {
            context.saveGState();
            context.clipToRect(bounds());
            context.drawImageUpright(area, *portrait);
            context.restoreGState();
        }
    }
    if (status.kind != CameraStatus::Kind::Live && statusText_)
        if (const std::string text = statusText_(status); !text.empty())
            drawStatus(context, text, frame != nullptr);
}

void CameraPreviewView::drawStatus(ImageContext& context, const std::string& text,
                                   bool overPicture) {
    const Rect b = bounds();
    const double side = std::min(b.width(), b.height());
    context.saveGState();
    context.clipToRect(b);
    context.selectFont(statusFont_, kStatusFontSize);
    const std::vector<std::string> lines = brokenLines(context, text, side - 2 * kStatusMargin);
    const double height = static_cast<double>(lines.size()) * kStatusLineHeight;
    // Below the middle of the square on a band over a picture, so the picture still shows;
    // in the middle of the empty square otherwise.
    const double top = overPicture ? side - height - 2 * kStatusMargin : (side - height) / 2;
    if (overPicture) {
        context.setRGBFillColor(0, 0, 0, 0.6);
        context.fillRect(
            {b.x(), b.y() + top - kStatusMargin / 2, b.width(), height + kStatusMargin});
    }
    context.setRGBFillColor(0.96, 0.94, 0.9, 1);
    context.setTextDrawingMode(0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double width = context.textWidth(lines[i]);
        const double baseline =
            b.y() + top + static_cast<double>(i) * kStatusLineHeight + kStatusFontSize;
        context.saveGState();
        // Text stands upright in a y-up space; views are y-down.
        context.translateCTM(b.x() + (b.width() - width) / 2, baseline);
        context.scaleCTM(1, -1);
        context.showTextAtPoint({0, 0}, lines[i]);
        context.restoreGState();
    }
    context.restoreGState();
}

} // namespace platform
