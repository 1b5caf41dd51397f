#include "Fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace artwork {

namespace {

const cairo_user_data_key_t kFaceKey{};

void releaseFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

// The path and face index fontconfig picks for a pattern such as "DejaVu Sans:bold".
bool match(const char* pattern, std::string& file, int& index) {
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (query == nullptr) {
        return false;
    }
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, query, &result);
    FcPatternDestroy(query);
    if (found == nullptr) {
        return false;
    }
    FcChar8* path = nullptr;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (ok) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(found, FC_INDEX, 0, &index) != FcResultMatch) {
            index = 0;
        }
    }
    FcPatternDestroy(found);
    return ok;
}

} // namespace

Fonts::Fonts(const std::filesystem::path& bundledFolder) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
    }
    library_ = library;
    FcInit();
    const auto bundled = bundledFolder / "ComicNeue-Regular.otf";
    sans_ = load("DejaVu Sans:style=Book", bundled);
    sansBold_ = load("DejaVu Sans:style=Bold", bundled);
    brand_ = load("DejaVu Serif:style=Bold Italic", bundled);
}

Fonts::~Fonts() {
    for (cairo_font_face_t* face : {sans_, sansBold_, brand_}) {
        if (face != nullptr) {
            cairo_font_face_destroy(face);
        }
    }
    // Cairo keeps scaled fonts in a cache; emptying it lets the FreeType faces go before the
    // library that made them.
    cairo_debug_reset_static_data();
    if (library_ != nullptr) {
        FT_Done_FreeType(static_cast<FT_Library>(library_));
    }
    FcFini();
}

cairo_font_face_t* Fonts::load(const char* pattern, const std::filesystem::path& fallback) {
    if (library_ == nullptr) {
        return nullptr;
    }
    auto library = static_cast<FT_Library>(library_);
    std::string file;
    int index = 0;
    FT_Face face = nullptr;
    if (!match(pattern, file, index) || FT_New_Face(library, file.c_str(), index, &face) != 0) {
        face = nullptr;
        file = fallback.string();
        if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
            description_ += std::string(pattern) + " -> (none)\n";
            return nullptr;
        }
    }
    description_ += std::string(pattern) + " -> " + file + "\n";
    cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face, releaseFace) !=
        CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cairoFace);
        FT_Done_Face(face);
        return nullptr;
    }
    return cairoFace;
}

double textWidth(cairo_t* cr, cairo_font_face_t* face, double size, std::string_view text,
                 double tracking) {
    if (face == nullptr || text.empty()) {
        return 0;
    }
    cairo_save(cr);
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    const std::string copy(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, copy.c_str(), &extents);
    cairo_restore(cr);
    // Tracking is added between letters; counting bytes is right for the ASCII labels here.
    return extents.x_advance + tracking * static_cast<double>(text.size() - 1);
}

void drawText(cairo_t* cr, cairo_font_face_t* face, double size, std::string_view text, double x,
              double y, Align align, double tracking) {
    if (face == nullptr || text.empty()) {
        return;
    }
    const double width = textWidth(cr, face, size, text, tracking);
    double left = x;
    if (align == Align::Centre) {
        left = x - width / 2;
    } else if (align == Align::Right) {
        left = x - width;
    }
    cairo_save(cr);
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    if (tracking == 0) {
        const std::string copy(text);
        cairo_move_to(cr, left, y);
        cairo_show_text(cr, copy.c_str());
    } else {
        double pen = left;
        for (char c : text) {
            const char letter[2] = {c, 0};
            cairo_text_extents_t extents;
            cairo_text_extents(cr, letter, &extents);
            cairo_move_to(cr, pen, y);
            cairo_show_text(cr, letter);
            pen += extents.x_advance + tracking;
        }
    }
    cairo_restore(cr);
}

} // namespace artwork
