#include "platform/ui/Button.h"

#include "platform/graphics/ImageContext.h"

namespace platform {

namespace {
// The shade over a pressed button without a picture of its own for that state: enough to
// feel, faint enough not to spoil the skin painted beneath.
constexpr double kPressedShade = 0.15;
} // namespace

Button::Button(Rect frame) : View(frame) {}

void Button::addTarget(std::function<void()> action, ControlEvent event) {
    if (action)
        actions_.emplace_back(event, std::move(action));
}

void Button::sendActionsForControlEvents(ControlEvent event) {
    // Copied: an action may add or remove targets, or drop the button itself.
    auto self = weak_from_this().lock();
    std::vector<std::function<void()>> matching;
    for (const auto& [e, action] : actions_)
        if (e == event)
            matching.push_back(action);
    for (auto& action : matching)
        action();
}

void Button::setBackgroundImage(ImageRef image, ControlState state) {
    if (image)
        backgrounds_[state] = std::move(image);
    else
        backgrounds_.erase(state);
    setNeedsDisplay();
}

ImageRef Button::backgroundImage(ControlState state) const {
    auto it = backgrounds_.find(state);
    return it == backgrounds_.end() ? nullptr : it->second;
}

void Button::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled)
        setHighlighted(false);
    setNeedsDisplay();
}

void Button::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted)
        return;
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void Button::draw(ImageContext& context) {
    View::draw(context);
    ImageRef image;
    if (!enabled_)
        image = backgroundImage(ControlState::Disabled);
    else if (highlighted_)
        image = backgroundImage(ControlState::Highlighted);
    const bool ownPressedLook = image != nullptr;
    if (!image)
        image = backgroundImage(ControlState::Normal);
    if (image)
        context.drawImageUpright(bounds(), *image);
    if (highlighted_ && !ownPressedLook) {
        context.setRGBFillColor(0, 0, 0, kPressedShade);
        context.fillRect(bounds());
    }
}

void Button::touchesBegan(Point) {
    if (!enabled_)
        return;
    tracking_ = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEvent::TouchDown);
}

void Button::touchesMoved(Point point) {
    if (tracking_)
        setHighlighted(pointInside(point));
}

void Button::touchesEnded(Point point) {
    if (!tracking_)
        return;
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(pointInside(point) ? ControlEvent::TouchUpInside
                                                   : ControlEvent::TouchUpOutside);
}

void Button::touchesCancelled(Point) {
    if (!tracking_)
        return;
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEvent::TouchCancel);
}

} // namespace platform
