#include "platform/ui/CameraPreviewView.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/CameraSource.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
// Wider than any window draws it; keeps a bad scale from asking for a giant picture.
constexpr int kMaxPixelWidth = 4096;
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

ImageRef CameraPreviewView::portraitOf(const ImageRef& frame, int pixelWidth) {
    if (frame != cachedFrame_ || pixelWidth != cachedWidth_ || mirrored_ != cachedMirrored_) {
        cachedFrame_ = frame;
        cachedWidth_ = pixelWidth;
        cachedMirrored_ = mirrored_;
        cachedPortrait_ = portraitPicture(*frame, pixelWidth);
        if (cachedPortrait_ && mirrored_)
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
    if (!frame)
        return;
    const Rect area = pictureRect();
    const double wanted = std::round(area.width() * context.scale());
    const int pixelWidth =
        std::isfinite(wanted) ? std::clamp(static_cast<int>(wanted), 1, kMaxPixelWidth) : 1;
    if (const ImageRef portrait = portraitOf(frame, pixelWidth)) {
        context.saveGState();
        context.clipToRect(bounds());
        context.drawImageUpright(area, *portrait);
        context.restoreGState();
    }
}

} // namespace platform
