#include "shell/KeysOverlay.h"

#include "shell/AlbumFolder.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/RoundedRect.h"

#include <algorithm>

using platform::Color;
using platform::Rect;
using platform::TextAlignment;
using platform::TextBlock;
using platform::TextStyle;

namespace {

constexpr double kMargin = 10;
constexpr double kPadding = 12;
constexpr double kKeysWidth = 86;
constexpr double kColumnGap = 8;
constexpr double kRowGap = 3;
constexpr double kSectionGap = 10;
constexpr double kCornerRadius = 10;
constexpr double kDimAlpha = 0.55;

const Color kFaint{0.78, 0.80, 0.86, 1};
const TextStyle kTitleStyle{17, true, Color::white(), TextAlignment::Center};
const TextStyle kKeysStyle{11, true, Color{1, 0.82, 0.45, 1}, TextAlignment::Left};
const TextStyle kDoesStyle{11, false, Color::white(), TextAlignment::Left};
const TextStyle kFootnoteStyle{11, false, kFaint, TextAlignment::Left};
const TextStyle kClosingStyle{11, false, kFaint, TextAlignment::Center};

double innerWidth() {
    return platform::Application::kScreenWidth - 2 * (kMargin + kPadding);
}

double doesWidth() {
    return innerWidth() - kKeysWidth - kColumnGap;
}

} // namespace

KeysOverlay::KeysOverlay(std::vector<KeyboardShortcuts::GuideLine> lines, std::string footnote)
    : View(Rect{0, 0, platform::Application::kScreenWidth, platform::Application::kScreenHeight}),
      title_("Keys", kTitleStyle), footnote_(std::move(footnote), kFootnoteStyle),
      closing_("Any key or click closes this list.", kClosingStyle) {
    for (auto& line : lines) {
        TextBlock keys(std::move(line.keys), kKeysStyle);
        TextBlock does(std::move(line.does), kDoesStyle);
        const double height = std::max(keys.height(kKeysWidth), does.height(doesWidth()));
        rows_.push_back({std::move(keys), std::move(does), height});
    }
    layout();
}

void KeysOverlay::layout() {
    double height = kPadding + title_.height(innerWidth()) + kSectionGap;
    for (const Row& row : rows_)
        height += row.height + kRowGap;
    height += kSectionGap + footnote_.height(innerWidth()) + kSectionGap +
              closing_.height(innerWidth()) + kPadding;
    const double width = innerWidth() + 2 * kPadding;
    height = std::min(height, bounds().height() - 2 * kMargin);
    box_ = {(bounds().width() - width) / 2, std::max(kMargin, (bounds().height() - height) / 2),
            width, height};
}

std::shared_ptr<KeysOverlay> KeysOverlay::show(const std::shared_ptr<platform::Window>& window,
                                               std::vector<KeyboardShortcuts::GuideLine> lines) {
    if (!window)
        return nullptr;
    auto overlay = std::make_shared<KeysOverlay>(
        std::move(lines), std::string(KeyboardShortcuts::kStrips) + " Full-size prints go to " +
                              AlbumFolder::shown() + ".");
    // A finger already down goes no further: everything under the overlay is covered.
    window->cancelTouch();
    window->addSubview(overlay);
    if (platform::Application::exists())
        platform::Application::shared().pushResponder(overlay);
    return overlay;
}

bool KeysOverlay::dismiss() {
    if (!isShowing())
        return false;
    auto self = shared_from_this();
    removeFromSuperview();
    if (platform::Application::exists())
        platform::Application::shared().removeResponder(this);
    return true;
}

void KeysOverlay::draw(platform::ImageContext& context) {
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const Rect b = bounds();
    cairo_rectangle(cr, b.x(), b.y(), b.width(), b.height());
    cairo_set_source_rgba(cr, 0, 0, 0, kDimAlpha);
    cairo_fill(cr);
    platform::addRoundedRect(cr, box_, kCornerRadius);
    cairo_set_source_rgba(cr, 0.09, 0.10, 0.13, 0.94);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_restore(cr);

    const double left = box_.x() + kPadding;
    double y = box_.y() + kPadding;
    const double titleHeight = title_.height(innerWidth());
    title_.draw(context, {left, y, innerWidth(), titleHeight});
    y += titleHeight + kSectionGap;
    for (const Row& row : rows_) {
        row.keys.draw(context, {left, y, kKeysWidth, row.height});
        row.does.draw(context, {left + kKeysWidth + kColumnGap, y, doesWidth(), row.height});
        y += row.height + kRowGap;
    }
    y += kSectionGap;
    const double footnoteHeight = footnote_.height(innerWidth());
    footnote_.draw(context, {left, y, innerWidth(), footnoteHeight});
    y += footnoteHeight + kSectionGap;
    closing_.draw(context, {left, y, innerWidth(), closing_.height(innerWidth())});
}

bool KeysOverlay::pick(const std::filesystem::path&, std::string& error) {
    error = "the keys overlay is open: any key closes it";
    return false;
}

bool KeysOverlay::cancel(std::string& error) {
    error = "the keys overlay is open: any key closes it";
    return false;
}

bool KeysOverlay::pressAlertButton(int, std::string& error) {
    error = "the keys overlay is open: any key closes it";
    return false;
}
