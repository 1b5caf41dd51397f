#include "platform/ui/Label.h"

#include "platform/graphics/FontResolver.h"
#include "platform/graphics/ImageContext.h"

#include <cmath>

namespace platform {

Label::Label(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
}

void Label::setText(std::string text) {
    layout_.reset();
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFontName(std::string name) {
    layout_.reset();
    if (name != fontName_)
        face_.reset();
    fontName_ = std::move(name);
    setNeedsDisplay();
}

void Label::setFontSize(double size) {
    layout_.reset();
    if (std::isfinite(size) && size > 0)
        fontSize_ = size;
    setNeedsDisplay();
}

void Label::setTextColor(Color color) {
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    layout_.reset();
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setShowsUserText(bool shows) {
    showsUserText_ = shows;
    layout_.reset();
    setNeedsDisplay();
}

void Label::draw(ImageContext& context) {
    View::draw(context);
    if (text_.empty())
        return;
    const Rect b = bounds();
    if (!face_)
        face_ = FontResolver::faceForName(fontName_);
    context.setFont(face_, fontSize_);
    const double width = context.textWidth(text_);
    if (showsUserText_ && (width > b.width() || !TextLayout::isPlainText(text_))) {
        drawUserText(context);
        return;
    }
    double x = b.x();
    if (alignment_ == TextAlignment::Center)
        x = b.x() + (b.width() - width) / 2;
    else if (alignment_ == TextAlignment::Right)
        x = b.maxX() - width;
    // Roughly half the height of capitals below the middle puts the line in the middle.
    const double baseline = b.y() + b.height() / 2 + fontSize_ * 0.35;
    context.saveGState();
    context.clipToRect(b);
    context.setRGBFillColor(textColor_.red, textColor_.green, textColor_.blue, textColor_.alpha);
    // Text stands upright in a y-up space; views are y-down.
    context.translateCTM(x, baseline);
    context.scaleCTM(1, -1);
    context.setTextDrawingMode(0);
    context.showTextAtPoint({0, 0}, text_);
    context.restoreGState();
}

void Label::drawUserText(ImageContext& context) {
    const Rect b = bounds();
    if (!layout_ || layout_->width() != b.width()) {
        const auto alignment = alignment_ == TextAlignment::Center  ? TextLayout::Alignment::Center
                               : alignment_ == TextAlignment::Right ? TextLayout::Alignment::Right
                                                                    : TextLayout::Alignment::Left;
        layout_ =
            std::make_unique<TextLayout>(text_, TextLayout::Font{fontName_, fontSize_}, b.width(),
                                         1, alignment, TextLayout::Ellipsis::Middle);
    }
    context.saveGState();
    context.clipToRect(b);
    layout_->draw(context, b.origin, 0, b.height() / 2 + fontSize_ * 0.35,
                  {textColor_.red, textColor_.green, textColor_.blue, textColor_.alpha});
    context.restoreGState();
}

} // namespace platform
