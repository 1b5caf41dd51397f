#include "platform/ui/AlertView.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/RoundedRect.h"
#include "platform/ui/TextButton.h"

#include <algorithm>

namespace platform {

namespace {

constexpr double kPadding = 16;
constexpr double kTitleGap = 8;
constexpr double kButtonHeight = 43;
constexpr double kButtonGap = 8;
constexpr double kCornerRadius = 10;
constexpr double kDimAlpha = 0.45;
// The box never grows past the screen less this margin; a longer message is cut.
constexpr double kScreenMargin = 20;

const TextStyle kTitleStyle{17, true, Color::white(), TextAlignment::Center};
const TextStyle kMessageStyle{15, false, Color::white(), TextAlignment::Center};
const TextStyle kButtonStyle{16, true, Color::white(), TextAlignment::Center};

} // namespace

AlertView::AlertView(std::string title, std::string message,
                     std::weak_ptr<AlertViewDelegate> delegate, std::string cancelButtonTitle,
                     std::string otherButtonTitle)
    : View(Rect{0, 0, Application::kScreenWidth, Application::kScreenHeight}),
      title_(std::move(title), kTitleStyle), message_(std::move(message), kMessageStyle),
      delegate_(std::move(delegate)) {
    if (!cancelButtonTitle.empty()) {
        cancelButtonIndex_ = 0;
        buttonTitles_.push_back(std::move(cancelButtonTitle));
    }
    if (!otherButtonTitle.empty())
        buttonTitles_.push_back(std::move(otherButtonTitle));
    if (buttonTitles_.empty()) {
        // An alert nobody can answer would hold the screen for good.
        cancelButtonIndex_ = 0;
        buttonTitles_.push_back("OK");
    }
    layout();
}

void AlertView::layout() {
    const double inner = kBoxWidth - 2 * kPadding;
    const double maxHeight = bounds().height() - 2 * kScreenMargin;
    const double titleHeight = title_.height(inner);
    const double gap = titleHeight > 0 && !message_.text().empty() ? kTitleGap : 0;
    const double fixed = kPadding + titleHeight + gap + kPadding + kButtonHeight + kPadding;
    const double messageHeight = std::min(message_.height(inner), std::max(0.0, maxHeight - fixed));
    const double height = fixed + messageHeight;
    const double x = (bounds().width() - kBoxWidth) / 2;
    const double y = std::max(0.0, (bounds().height() - height) / 2);
    box_ = {x, y, kBoxWidth, height};
    titleRect_ = {x + kPadding, y + kPadding, inner, titleHeight};
    messageRect_ = {x + kPadding, titleRect_.maxY() + gap, inner, messageHeight};
}

std::string AlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons())
        return {};
    return buttonTitles_[static_cast<std::size_t>(index)];
}

Rect AlertView::buttonFrame(int index) const {
    const int count = numberOfButtons();
    if (index < 0 || index >= count)
        return {};
    const double inner = kBoxWidth - 2 * kPadding;
    const double width = (inner - kButtonGap * (count - 1)) / count;
    return {box_.x() + kPadding + index * (width + kButtonGap),
            box_.maxY() - kPadding - kButtonHeight, width, kButtonHeight};
}

void AlertView::show() {
    if (visible_)
        return;
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    if (buttons_.empty()) {
        for (int i = 0; i < numberOfButtons(); ++i) {
            auto button =
                std::make_shared<TextButton>(buttonFrame(i), buttonTitleAtIndex(i), kButtonStyle);
            button->setFillColor(Color{1, 1, 1, i == cancelButtonIndex_ ? 0.12 : 0.25});
            button->setBorderColor(Color{1, 1, 1, 0.55});
            button->addTarget([weak = std::weak_ptr(self), i] {
                if (auto alert = weak.lock())
                    alert->dismissWithClickedButtonIndex(i);
            });
            addSubview(button);
            buttons_.push_back(std::move(button));
        }
    }
    visible_ = true;
    if (!Application::exists())
        return;
    Application& app = Application::shared();
    if (app.window())
        app.window()->addSubview(self);
    app.pushResponder(self);
}

bool AlertView::dismissWithClickedButtonIndex(int index) {
    if (!visible_ || index < 0 || index >= numberOfButtons())
        return false;
    // Gone before the delegate hears of it, so an alert it shows in answer is the one in front.
    auto self = shared_from_this();
    visible_ = false;
    removeFromSuperview();
    if (Application::exists())
        Application::shared().removeResponder(this);
    if (auto delegate = delegate_.lock())
        delegate->alertViewClickedButtonAtIndex(*this, index);
    return true;
}

void AlertView::draw(ImageContext& context) {
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const Rect b = bounds();
    cairo_rectangle(cr, b.x(), b.y(), b.width(), b.height());
    cairo_set_source_rgba(cr, 0, 0, 0, kDimAlpha);
    cairo_fill(cr);

    const Rect box{box_.x() + 1, box_.y() + 1, box_.width() - 2, box_.height() - 2};
    addRoundedRect(cr, box, kCornerRadius);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, box.minY(), 0, box.maxY());
    cairo_pattern_add_color_stop_rgba(fill, 0, 0.16, 0.24, 0.45, 0.94);
    cairo_pattern_add_color_stop_rgba(fill, 1, 0.05, 0.10, 0.27, 0.94);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    // A soft gloss over the upper part of the box.
    addRoundedRect(cr, box, kCornerRadius);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, box.x() + box.width() / 2, box.y());
    cairo_scale(cr, box.width() * 0.75, 28);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr); // the path stays, drawn in the scaled space it was made in
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_fill(cr);
    cairo_restore(cr);

    title_.draw(context, titleRect_);
    message_.draw(context, messageRect_);
}

bool AlertView::pick(const std::filesystem::path&, std::string& error) {
    error = "an alert is open: answer it with alert INDEX first";
    return false;
}

bool AlertView::cancel(std::string& error) {
    error = "an alert is open: answer it with alert INDEX first";
    return false;
}

bool AlertView::pressCancelKey() {
    return dismissWithClickedButtonIndex(cancelButtonIndex_ >= 0 ? cancelButtonIndex_ : 0);
}

bool AlertView::pressDefaultKey() {
    return dismissWithClickedButtonIndex(defaultButtonIndex());
}

bool AlertView::pressAlertButton(int index, std::string& error) {
    if (dismissWithClickedButtonIndex(index))
        return true;
    error = numberOfButtons() == 1
                ? "the alert has one button, 0"
                : "the alert has buttons 0 to " + std::to_string(numberOfButtons() - 1);
    return false;
}

} // namespace platform
