#include "platform/graphics/TextLayout.h"

#include "platform/graphics/FontResolver.h"
#include "platform/graphics/ImageContext.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Pango takes UTF-8 only, and warns on standard error about anything else; a file name may be
// any bytes but NUL, and a string may carry a NUL from anywhere.
std::string validUtf8(std::string_view text) {
    std::string bytes(text);
    std::erase(bytes, '\0');
    gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
    std::string result(valid);
    g_free(valid);
    return result;
}

PangoFontDescription* describe(const TextLayout::Font& font) {
    const FontResolver::Traits traits = FontResolver::traitsForName(font.name);
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description,
                                      traits.family.empty() ? "sans-serif" : traits.family.c_str());
    const int weight = font.bold ? std::max(traits.weight, int(PANGO_WEIGHT_BOLD)) : traits.weight;
    pango_font_description_set_weight(description, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(description,
                                     traits.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    const double size = std::isfinite(font.size) && font.size > 0 ? font.size : 17;
    pango_font_description_set_absolute_size(description, size * PANGO_SCALE);
    return description;
}

// A context of its own per layout: laid out in points with unhinted, unrounded metrics, so the
// same layout fits at every scale it is drawn at.
PangoContext* makeContext() {
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    return context;
}

PangoAlignment pangoAlignment(TextLayout::Alignment alignment) {
    switch (alignment) {
    case TextLayout::Alignment::Center:
        return PANGO_ALIGN_CENTER;
    case TextLayout::Alignment::Right:
        return PANGO_ALIGN_RIGHT;
    case TextLayout::Alignment::Left:
        break;
    }
    return PANGO_ALIGN_LEFT;
}

PangoLayout* makeLayout(PangoContext* context, const PangoFontDescription* description,
                        const std::string& text, double width, TextLayout::Alignment alignment) {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    if (width >= 0) {
        pango_layout_set_width(layout, static_cast<int>(std::floor(width * PANGO_SCALE)));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_alignment(layout, pangoAlignment(alignment));
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    return layout;
}

double pointsOf(int pangoUnits) {
    return static_cast<double>(pangoUnits) / PANGO_SCALE;
}

} // namespace

void TextLayout::LayoutDeleter::operator()(PangoLayout* layout) const {
    g_object_unref(layout);
}

TextLayout::TextLayout(std::string_view text, const Font& font, double width, int maxLines,
                       Alignment alignment, Ellipsis ellipsis)
    : text_(validUtf8(text)), width_(std::isfinite(width) && width >= 0 ? width : -1),
      maxLines_(std::max(0, maxLines)) {
    PangoFontDescription* description = describe(font);
    PangoContext* context = makeContext();
    body_.reset(makeLayout(context, description, text_, width_, alignment));
    bodyLines_ = pango_layout_get_line_count(body_.get());
    if (maxLines_ > 0 && bodyLines_ > maxLines_ && width_ >= 0) {
        // The last line holds everything from where it starts, newlines and all, cut to fit.
        bodyLines_ = maxLines_ - 1;
        tailStart_ = static_cast<std::size_t>(
            pango_layout_get_line_readonly(body_.get(), bodyLines_)->start_index);
        std::string rest = text_.substr(tailStart_);
        std::replace(rest.begin(), rest.end(), '\n', ' ');
        tail_.reset(makeLayout(context, description, rest, width_, alignment));
        pango_layout_set_ellipsize(tail_.get(), ellipsis == Ellipsis::Middle
                                                    ? PANGO_ELLIPSIZE_MIDDLE
                                                    : PANGO_ELLIPSIZE_END);
    }
    g_object_unref(context);
    pango_font_description_free(description);
}

TextLayout::~TextLayout() = default;

bool TextLayout::isPlainText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7f); });
}

int TextLayout::lineCount() const {
    return bodyLines_ + (tail_ ? 1 : 0);
}

std::vector<std::string> TextLayout::lines() const {
    std::vector<std::string> result;
    for (int i = 0; i < bodyLines_; ++i) {
        const PangoLayoutLine* line = pango_layout_get_line_readonly(body_.get(), i);
        std::string text = text_.substr(static_cast<std::size_t>(line->start_index),
                                        static_cast<std::size_t>(line->length));
        // The space a line broke at belongs to no line.
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        result.push_back(std::move(text));
    }
    if (tail_)
        result.push_back(text_.substr(tailStart_));
    return result;
}

double TextLayout::usedWidth() const {
    double widest = 0;
    const auto widen = [&widest](PangoLayoutLine* line) {
        PangoRectangle logical;
        pango_layout_line_get_extents(line, nullptr, &logical);
        widest = std::max(widest, pointsOf(logical.width));
    };
    for (int i = 0; i < bodyLines_; ++i)
        widen(pango_layout_get_line_readonly(body_.get(), i));
    if (tail_)
        widen(pango_layout_get_line_readonly(tail_.get(), 0));
    return widest;
}

void TextLayout::draw(ImageContext& context, Point origin, double lineHeight, double baseline,
                      const Ink& ink) const {
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(lineHeight) ||
        !std::isfinite(baseline))
        return;
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(cr, ink.red, ink.green, ink.blue, ink.alpha);
    // Each line at the screen's own pitch, however tall the fallback fonts are, so a name in
    // any script sits in its box as the screen's lettering does.
    const auto show = [&](PangoLayout* layout, int lines, int firstRow) {
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        for (int i = 0; i < lines; ++i) {
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(iter, nullptr, &logical);
            cairo_move_to(cr, origin.x + pointsOf(logical.x),
                          origin.y + baseline + (firstRow + i) * lineHeight);
            pango_cairo_show_layout_line(cr, pango_layout_iter_get_line_readonly(iter));
            if (!pango_layout_iter_next_line(iter))
                break;
        }
        pango_layout_iter_free(iter);
    };
    show(body_.get(), bodyLines_, 0);
    if (tail_)
        show(tail_.get(), 1, bodyLines_);
    cairo_new_path(cr);
    cairo_restore(cr);
}

} // namespace platform
