#include "platform/ui/ActivityIndicatorView.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/RunLoop.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <numbers>

namespace platform {

namespace {
constexpr int kSpokes = 12;
constexpr double kTurnsPerSecond = 1.0;
} // namespace

ActivityIndicatorView::ActivityIndicatorView(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
    setHidden(true);
}

void ActivityIndicatorView::setActivityIndicatorViewStyle(int style) {
    style_ = (style == WhiteLarge || style == Gray) ? style : White;
    setNeedsDisplay();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    if (!animating_)
        setHidden(hides);
}

int ActivityIndicatorView::leadingSpoke(double now) {
    const double steps = std::floor(now * kTurnsPerSecond * kSpokes);
    const int spoke = static_cast<int>(std::fmod(steps, kSpokes));
    return spoke < 0 ? spoke + kSpokes : spoke;
}

void ActivityIndicatorView::startAnimating() {
    if (animating_)
        return;
    animating_ = true;
    setHidden(false);
    setNeedsDisplay();
    if (ticking_)
        return;
    auto owner = weak_from_this().lock();
    if (!owner)
        return;
    // Looked at every frame while it turns; redrawn when the lit spoke moves on, which is
    // all that changes.
    std::weak_ptr<View> weak = owner;
    ticking_ = true;
    shownSpoke_ = -1;
    RunLoop::main().addFrameHandler([weak](double now) {
        auto self = std::static_pointer_cast<ActivityIndicatorView>(weak.lock());
        if (!self)
            return false;
        if (!self->animating_) {
            self->ticking_ = false;
            return false;
        }
        if (const int spoke = leadingSpoke(now); spoke != self->shownSpoke_) {
            self->shownSpoke_ = spoke;
            self->setNeedsDisplay();
        }
        return true;
    });
}

void ActivityIndicatorView::stopAnimating() {
    if (!animating_)
        return;
    animating_ = false;
    stoppedAt_ = RunLoop::main().now();
    if (hidesWhenStopped_)
        setHidden(true);
    setNeedsDisplay();
}

void ActivityIndicatorView::draw(ImageContext& context) {
    View::draw(context);
    const Rect b = bounds();
    const double natural = style_ == WhiteLarge ? 37 : 20;
    const double radius = std::min({natural, b.width(), b.height()}) / 2;
    if (radius <= 0)
        return;
    const double gray = style_ == Gray ? 0.45 : 1.0;
    const int lead = leadingSpoke(animating_ ? RunLoop::main().now() : stoppedAt_);
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_translate(cr, b.x() + b.width() / 2, b.y() + b.height() / 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, radius * (style_ == WhiteLarge ? 0.2 : 0.22));
    for (int i = 0; i < kSpokes; ++i) {
        // Spokes behind the leading one fade out: a tail of light turning clockwise.
        const int behind = (lead - i + kSpokes) % kSpokes;
        const double alpha = 1.0 - 0.8 * behind / (kSpokes - 1);
        const double angle = i * 2 * std::numbers::pi / kSpokes;
        const double dx = std::sin(angle), dy = -std::cos(angle);
        cairo_set_source_rgba(cr, gray, gray, gray, alpha);
        cairo_move_to(cr, dx * radius * 0.5, dy * radius * 0.5);
        cairo_line_to(cr, dx * radius * 0.88, dy * radius * 0.88);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

} // namespace platform
