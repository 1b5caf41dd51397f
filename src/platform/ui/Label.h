#pragma once

#include "platform/graphics/FontResolver.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <string>

namespace platform {

enum class TextAlignment : int { Left = 0, Center = 1, Right = 2 };

// One line of text, centred vertically in the bounds. Takes no touches.
class Label : public View {
public:
    explicit Label(Rect frame = {});

    const std::string& text() const { return text_; }
    void setText(std::string text);
    // Matched through fontconfig; unknown names fall back to a plain sans.
    const std::string& fontName() const { return fontName_; }
    void setFontName(std::string name);
    // Points.
    double fontSize() const { return fontSize_; }
    void setFontSize(double size);
    const Color& textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);

    void draw(ImageContext& context) override;

private:
    std::string text_;
    std::string fontName_ = "Helvetica";
    // Looked up at the first draw after the name changes: a fontconfig match costs more than
    // drawing the line.
    FontFaceRef face_;
    double fontSize_ = 17;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
};

} // namespace platform
