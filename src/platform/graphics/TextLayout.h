#pragma once

#include "platform/graphics/Geometry.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct _PangoLayout PangoLayout;

namespace platform {

class ImageContext;

// Text from the user or the system (a folder or file name, an error message) laid out as its
// script needs: shaped, in reading order (right to left for Hebrew and Arabic), each
// character in the first installed font that has it, wrapped to a width, and ellipsised where
// it needs more lines than it may have. The layout is made once, when the object is: keep it
// while the text, font and width stay the same and draw it as often as needed, at any scale.
class TextLayout {
public:
    enum class Alignment { Left, Center, Right };
    // Where text that does not fit is cut: at the end (a message) or in the middle (a path,
    // whose last folder says most).
    enum class Ellipsis { End, Middle };

    struct Font {
        // A name as FontResolver takes it: the first face tried is the one the name draws in,
        // so text the screen's own face has looks as it does everywhere else.
        std::string name = "Helvetica";
        double size = 17; // points
        bool bold = false;
    };

    struct Ink {
        double red = 0;
        double green = 0;
        double blue = 0;
        double alpha = 1;
    };

    // `width` in points; at most `maxLines` lines, 0 for as many as the text needs. Bytes that
    // are not UTF-8 (a file name may hold any) show as replacement characters.
    TextLayout(std::string_view text, const Font& font, double width, int maxLines,
               Alignment alignment, Ellipsis ellipsis = Ellipsis::End);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // Whether the screen's plain text drawing shows `text` as it should: printable ASCII and
    // newlines only, which every Latin face has and no script reorders or joins.
    static bool isPlainText(std::string_view text);

    double width() const { return width_; }
    int maxLines() const { return maxLines_; }
    int lineCount() const;
    // The text of each line as laid out; an ellipsised line gives the text it stands for.
    std::vector<std::string> lines() const;
    bool isEllipsised() const { return tail_ != nullptr; }
    // The widest line, in points.
    double usedWidth() const;

    // Draws line i with its baseline at origin.y + baseline + i × lineHeight (points), placed
    // in the width from origin.x as aligned, over what is there.
    void draw(ImageContext& context, Point origin, double lineHeight, double baseline,
              const Ink& ink) const;

private:
    struct LayoutDeleter {
        void operator()(PangoLayout* layout) const;
    };
    using LayoutHandle = std::unique_ptr<PangoLayout, LayoutDeleter>;

    std::string text_;
    double width_;
    int maxLines_;
    // The text as laid out; when it needs more lines than allowed, only the lines before the
    // last allowed one are drawn from it, and `tail_` is the rest ellipsised on one line.
    LayoutHandle body_;
    LayoutHandle tail_;
    int bodyLines_ = 0;
    std::size_t tailStart_ = 0;
};

} // namespace platform
