#include "platform/ui/Label.h"

#include "platform/graphics/FontResolver.h"
#include "platform/graphics/ImageContext.h"

#include <cmath>

namespace platform {

Label::Label(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
}

void Label::setText(std::string text) {
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFontName(std::string name) {
    if (name != fontName_)
        face_.reset();
    fontName_ = std::move(name);
    setNeedsDisplay();
}

void Label::setFontSize(double size) {
    if (std::isfinite(size) && size > 0)
        fontSize_ = size;
    setNeedsDisplay();
}

void Label::setTextColor(Color color) {
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
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

} // namespace platform
