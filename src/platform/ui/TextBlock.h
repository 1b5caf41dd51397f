#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Color.h"
#include "platform/ui/Label.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class ImageContext;

// How the platform's own controls set text (titles, messages, button captions): a plain
// sans face, regular or bold.
struct TextStyle {
    double size = 17; // points
    bool bold = false;
    Color color = Color::black();
    TextAlignment alignment = TextAlignment::Left;
};

// A piece of UTF-8 text broken into lines that fit a width: at newlines, at spaces, and
// inside a word only when the word alone is too wide (after a '/' when it can, so a path
// breaks between folders). Unlike Label it takes any UTF-8 text, since file names and
// messages are not limited to the camera's own character set: plain ASCII that fits is drawn
// in the controls' own face alone, anything else (another script, or more lines than the box
// holds) through a TextLayout, with font fallback and an ellipsis on the last line that fits.
// Lines are kept for the last width asked, so a redraw does not lay the text out again.
class TextBlock {
public:
    TextBlock();
    TextBlock(std::string text, TextStyle style);

    const std::string& text() const { return text_; }
    const TextStyle& style() const { return style_; }

    // Distance between baselines, in points.
    double lineHeight() const { return style_.size * 1.25; }
    // The lines for a width in points; never empty for text that is not.
    std::vector<std::string> lines(double width) const;
    // Height in points of the lines for that width.
    double height(double width) const;
    // Width in points of one line as it is drawn (on one line, however long).
    double width(const std::string& line) const;

    // Draws the lines for rect's width from rect's top, aligned within it; lines that do not
    // fit in rect's height are left out.
    void draw(ImageContext& context, const Rect& rect) const;
    // The same, centred vertically in rect.
    void drawCentered(ImageContext& context, const Rect& rect) const;

private:
    struct Cache;
    // The lines the controls' own face breaks the text into (plain text only).
    const std::vector<std::string>& plainLines(double width) const;
    // The text laid out for a width and a number of lines (0: any).
    const TextLayout& layout(double width, int maxLines) const;

    std::string text_;
    TextStyle style_;
    bool plain_ = true;
    // Shared by copies, which hold the same text and style.
    std::shared_ptr<Cache> cache_;
};

} // namespace platform
