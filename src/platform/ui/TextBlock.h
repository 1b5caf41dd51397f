#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/Color.h"
#include "platform/ui/Label.h"

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
// messages are not limited to the camera's own character set.
class TextBlock {
public:
    TextBlock() = default;
    TextBlock(std::string text, TextStyle style);

    const std::string& text() const { return text_; }
    const TextStyle& style() const { return style_; }

    // Distance between baselines, in points.
    double lineHeight() const { return style_.size * 1.25; }
    // The lines for a width in points; never empty for text that is not.
    std::vector<std::string> lines(double width) const;
    // Height in points of the lines for that width.
    double height(double width) const;
    // Width in points of one line as it is drawn.
    double width(const std::string& line) const;

    // Draws the lines for rect's width from rect's top, aligned within it; lines that do not
    // fit in rect's height are left out.
    void draw(ImageContext& context, const Rect& rect) const;
    // The same, centred vertically in rect.
    void drawCentered(ImageContext& context, const Rect& rect) const;

private:
    std::string text_;
    TextStyle style_;
};

} // namespace platform
