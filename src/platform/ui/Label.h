#pragma once

#include "platform/graphics/FontResolver.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace platform {

enum class TextAlignment : int { Left = 0, Center = 1, Right = 2 };

// One line of text, centred vertically in the bounds. Takes no touches. The screen's own
// lettering is Mac Roman bytes drawn in the label's face alone and cut at the bounds. A label
// that shows user text (a folder name, a message) takes UTF-8 instead: plain ASCII that fits
// is still drawn the screen's way, anything else through a TextLayout, with font fallback for
// any script and an ellipsis in the middle where it is too wide.
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
    bool showsUserText() const { return showsUserText_; }
    void setShowsUserText(bool shows);

    void draw(ImageContext& context) override;

private:
    void drawUserText(ImageContext& context);

    std::string text_;
    std::string fontName_ = "Helvetica";
    // Looked up at the first draw after the name changes: a fontconfig match costs more than
    // drawing the line.
    FontFaceRef face_;
    double fontSize_ = 17;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::Left;
    bool showsUserText_ = false;
    // Made at the first draw that needs it and kept until the text, font or width change.
    std::unique_ptr<TextLayout> layout_;
};

} // namespace platform
