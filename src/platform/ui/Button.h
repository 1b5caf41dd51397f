#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace platform {

// Control events, as the platform numbers them.
enum class ControlEvent : unsigned {
    TouchDown = 1,
    TouchUpInside = 64,
    TouchUpOutside = 128,
    TouchCancel = 256,
};

// Control states, as the platform numbers them.
enum class ControlState : unsigned {
    Normal = 0,
    Highlighted = 1,
    Disabled = 2,
    Selected = 4,
};

// An untitled button: a hit area with actions, optionally drawn with a background picture.
// Touch-up-inside actions run when a touch that began on the button ends inside its bounds.
// While pressed it is highlighted: its highlighted picture if it has one, else a faint shade
// over the normal look.
class Button : public View {
public:
    explicit Button(Rect frame = {});

    // Actions run in the order they were added.
    void addTarget(std::function<void()> action, ControlEvent event = ControlEvent::TouchUpInside);
    void removeAllTargets() { actions_.clear(); }
    // Runs the actions for `event` as if the user had caused it.
    void sendActionsForControlEvents(ControlEvent event);

    // Stretched over the bounds; null removes it.
    void setBackgroundImage(ImageRef image, ControlState state = ControlState::Normal);
    ImageRef backgroundImage(ControlState state = ControlState::Normal) const;

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    void draw(ImageContext& context) override;
    bool isControl() const override { return true; }
    void touchesBegan(Point point) override;
    void touchesMoved(Point point) override;
    void touchesEnded(Point point) override;
    void touchesCancelled(Point point) override;

private:
    std::vector<std::pair<ControlEvent, std::function<void()>>> actions_;
    std::map<ControlState, ImageRef> backgrounds_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool tracking_ = false;
};

} // namespace platform
