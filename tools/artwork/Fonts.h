#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace artwork {

enum class Align { Left, Centre, Right };

// The typefaces the artwork uses, loaded through FreeType. Labels prefer the system's DejaVu
// faces (found through fontconfig); when fontconfig finds nothing readable the bundled face in
// the given folder stands in, so the artwork never comes out without text.
class Fonts {
public:
    explicit Fonts(const std::filesystem::path& bundledFolder);
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    cairo_font_face_t* sans() const { return sans_; }
    cairo_font_face_t* sansBold() const { return sansBold_; }
    cairo_font_face_t* brand() const { return brand_; }
    // The file each face came from, for the program's report.
    const std::string& description() const { return description_; }

private:
    cairo_font_face_t* load(const char* pattern, const std::filesystem::path& fallback);

    void* library_ = nullptr;
    cairo_font_face_t* sans_ = nullptr;
    cairo_font_face_t* sansBold_ = nullptr;
    cairo_font_face_t* brand_ = nullptr;
    std::string description_;
};

// Draws one line of text with its baseline at y; x is its left edge, centre or right edge.
// tracking adds that many pixels between letters, as engraved lettering has.
void drawText(cairo_t* cr, cairo_font_face_t* face, double size, std::string_view text, double x,
              double y, Align align, double tracking = 0);
// The width in pixels drawText would give the same text.
double textWidth(cairo_t* cr, cairo_font_face_t* face, double size, std::string_view text,
                 double tracking = 0);

} // namespace artwork
