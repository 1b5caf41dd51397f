#include "platform/ui/TextButton.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/RoundedRect.h"

namespace platform {

TextButton::TextButton(Rect frame, std::string title, TextStyle style)
    : Button(frame), title_(std::move(title), style) {}

void TextButton::setTitle(std::string title) {
    title_ = TextBlock(std::move(title), title_.style());
    setNeedsDisplay();
}

void TextButton::setFillColor(std::optional<Color> color) {
    fill_ = color;
    setNeedsDisplay();
}

void TextButton::setBorderColor(std::optional<Color> color) {
    border_ = color;
    setNeedsDisplay();
}

void TextButton::setCornerRadius(double radius) {
    cornerRadius_ = radius;
    setNeedsDisplay();
}

void TextButton::draw(ImageContext& context) {
    const Rect b = bounds();
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // Inset by half the border so the line lies inside the bounds.
    const Rect shape{b.x() + 0.5, b.y() + 0.5, b.width() - 1, b.height() - 1};
    if (fill_) {
        addRoundedRect(cr, shape, cornerRadius_);
        cairo_set_source_rgba(cr, fill_->red, fill_->green, fill_->blue, fill_->alpha);
        cairo_fill(cr);
    }
    if (isHighlighted()) {
        addRoundedRect(cr, shape, cornerRadius_);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
        cairo_fill(cr);
    }
    if (border_) {
        addRoundedRect(cr, shape, cornerRadius_);
        cairo_set_source_rgba(cr, border_->red, border_->green, border_->blue, border_->alpha);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    TextStyle style = title_.style();
    if (!isEnabled())
        style.color.alpha *= 0.4;
    TextBlock(title_.text(), {style.size, style.bold, style.color, TextAlignment::Center})
        .drawCentered(context, {b.x() + 4, b.y(), b.width() - 8, b.height()});
}

} // namespace platform
