#include "platform/ui/TextBlock.h"

#include "platform/graphics/ImageContext.h"

#include <cairo.h>
#include <cmath>
#include <memory>

namespace platform {

namespace {

// Helvetica is what the platform's controls use; fontconfig maps it to its metric twin.
constexpr const char* kFamily = "Helvetica";

struct CairoDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

void applyFont(cairo_t* cr, const TextStyle& style) {
    cairo_select_font_face(cr, kFamily, CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.size);
    // Unhinted metrics, so a line measured once fits at every scale it is drawn at.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// A context that only measures.
std::unique_ptr<cairo_t, CairoDeleter> measuringContext(const TextStyle& style) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    std::unique_ptr<cairo_t, CairoDeleter> cr(cairo_create(surface));
    cairo_surface_destroy(surface);
    applyFont(cr.get(), style);
    return cr;
}

double advance(cairo_t* cr, const std::string& text) {
    if (text.empty())
        return 0;
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// Byte length of the UTF-8 character that starts at `i` (1 for a stray byte).
std::size_t characterLength(const std::string& text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = lead < 0x80         ? 1
                    : (lead >> 5) == 6  ? 2
                    : (lead >> 4) == 14 ? 3
                    : (lead >> 3) == 30 ? 4
                                        : 1;
    for (std::size_t k = 1; k < n; ++k)
        if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// Cuts the longest head of `word` that fits (at least one character), preferring a cut
// just after a '/'.
std::size_t fittingHead(cairo_t* cr, const std::string& word, double width) {
    std::size_t fits = 0;
    std::size_t afterSlash = 0;
    for (std::size_t i = 0; i < word.size();) {
        const std::size_t next = i + characterLength(word, i);
        if (fits > 0 && advance(cr, word.substr(0, next)) > width)
            break;
        fits = next;
        if (word[i] == '/')
            afterSlash = next;
        i = next;
    }
    return afterSlash > 0 && afterSlash < fits ? afterSlash : fits;
}

// The lines the controls' own face breaks plain text into.
std::vector<std::string> brokenLines(const std::string& text, const TextStyle& style,
                                     double width) {
    std::vector<std::string> result;
    auto cr = measuringContext(style);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        std::string line;
        std::size_t i = 0;
        while (i < paragraph.size()) {
            if (paragraph[i] == ' ') {
                ++i;
                continue;
            }
            std::size_t j = paragraph.find(' ', i);
            if (j == std::string::npos)
                j = paragraph.size();
            std::string word = paragraph.substr(i, j - i);
            i = j;
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (advance(cr.get(), candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.empty())
                result.push_back(line);
            // The last character stays for the line, however narrow the width.
            while (characterLength(word, 0) < word.size() && advance(cr.get(), word) > width) {
                const std::size_t head = fittingHead(cr.get(), word, width);
                result.push_back(word.substr(0, head));
                word.erase(0, head);
            }
            line = word;
        }
        result.push_back(line);
        start = end + 1;
    }
    return result;
}

} // namespace

struct TextBlock::Cache {
    double plainWidth = -1;
    std::vector<std::string> plainLines;
    std::unique_ptr<TextLayout> layout;
};

TextBlock::TextBlock() : cache_(std::make_shared<Cache>()) {}

TextBlock::TextBlock(std::string text, TextStyle style)
    : text_(std::move(text)), style_(style), plain_(TextLayout::isPlainText(text_)),
      cache_(std::make_shared<Cache>()) {
    if (!std::isfinite(style_.size) || style_.size <= 0)
        style_.size = 17;
}

double TextBlock::width(const std::string& line) const {
    if (!TextLayout::isPlainText(line))
        return TextLayout(line, {kFamily, style_.size, style_.bold}, -1, 0,
                          TextLayout::Alignment::Left)
            .usedWidth();
    auto cr = measuringContext(style_);
    return advance(cr.get(), line);
}

const std::vector<std::string>& TextBlock::plainLines(double width) const {
    if (cache_->plainWidth != width) {
        cache_->plainLines = brokenLines(text_, style_, width);
        cache_->plainWidth = width;
    }
    return cache_->plainLines;
}

const TextLayout& TextBlock::layout(double width, int maxLines) const {
    auto& layout = cache_->layout;
    if (!layout || layout->width() != width || layout->maxLines() != maxLines) {
        const auto alignment =
            style_.alignment == TextAlignment::Center  ? TextLayout::Alignment::Center
            : style_.alignment == TextAlignment::Right ? TextLayout::Alignment::Right
                                                       : TextLayout::Alignment::Left;
        layout = std::make_unique<TextLayout>(
            text_, TextLayout::Font{kFamily, style_.size, style_.bold}, width, maxLines, alignment);
    }
    return *layout;
}

std::vector<std::string> TextBlock::lines(double width) const {
    if (text_.empty())
        return {};
    return plain_ ? plainLines(width) : layout(width, 0).lines();
}

double TextBlock::height(double width) const {
    return static_cast<double>(lines(width).size()) * lineHeight();
}

void TextBlock::draw(ImageContext& context, const Rect& rect) const {
    if (text_.empty())
        return;
    const double lead = lineHeight();
    // The baseline sits so that capitals are centred in their line.
    const double baseline = (lead + style_.size * 0.7) / 2;
    const double room = std::floor((rect.height() + 0.5) / lead);
    if (!(room >= 1))
        return;
    const int fitting = room < 1000 ? static_cast<int>(room) : 0;
    if (!plain_ || (fitting > 0 && plainLines(rect.width()).size() > std::size_t(fitting))) {
        layout(rect.width(), fitting)
            .draw(context, rect.origin, lead, baseline,
                  {style_.color.red, style_.color.green, style_.color.blue, style_.color.alpha});
        return;
    }
    const std::vector<std::string>& all = plainLines(rect.width());
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    applyFont(cr, style_);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(cr, style_.color.red, style_.color.green, style_.color.blue,
                          style_.color.alpha);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const double top = rect.y() + static_cast<double>(i) * lead;
        if (top + lead > rect.maxY() + 0.5)
            break;
        const double w = advance(cr, all[i]);
        double x = rect.x();
        if (style_.alignment == TextAlignment::Center)
            x += (rect.width() - w) / 2;
        else if (style_.alignment == TextAlignment::Right)
            x = rect.maxX() - w;
        cairo_move_to(cr, x, top + baseline);
        cairo_show_text(cr, all[i].c_str());
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

void TextBlock::drawCentered(ImageContext& context, const Rect& rect) const {
    const double h = std::min(height(rect.width()), rect.height());
    draw(context, {rect.x(), rect.y() + (rect.height() - h) / 2, rect.width(), h});
}

} // namespace platform
