#pragma once

#include "platform/ui/AlertViewDelegate.h"
#include "platform/ui/ScriptResponder.h"
#include "platform/ui/TextBlock.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class TextButton;

// A question in front of everything: the screen dimmed, a rounded box with a bold title,
// the message wrapped to fit and its buttons side by side. A button pressed (by a tap or the
// script's `alert INDEX`) takes the alert away and then tells the delegate its index.
// Buttons are numbered in order: the cancel button first, then the other; an empty title
// leaves its button out, and an alert without any gets an "OK" to cancel it with.
// Make it with std::make_shared; it keeps itself on screen until answered.
class AlertView : public View, public ScriptResponder {
public:
    static constexpr double kBoxWidth = 270; // points

    AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
              std::string cancelButtonTitle, std::string otherButtonTitle);

    const std::string& title() const { return title_.text(); }
    const std::string& message() const { return message_.text(); }
    int numberOfButtons() const { return static_cast<int>(buttonTitles_.size()); }
    // Empty for an index that is not a button.
    std::string buttonTitleAtIndex(int index) const;
    // -1 when the alert has no cancel button of its own.
    int cancelButtonIndex() const { return cancelButtonIndex_; }
    // The button Return presses: the other button, or the only one there is.
    int defaultButtonIndex() const { return numberOfButtons() - 1; }

    // Puts the alert in front of everything in the application's window and lets a script
    // answer it. Nothing happens while it is shown already.
    void show();
    bool isVisible() const { return visible_; }
    // What a press on button `index` does. False (and nothing happens) when the alert is not
    // shown or there is no such button.
    bool dismissWithClickedButtonIndex(int index);

    // The box and a button, in the alert's coordinates (the screen's), in points.
    Rect boxFrame() const { return box_; }
    Rect buttonFrame(int index) const;

    void draw(ImageContext& context) override;

    bool pick(const std::filesystem::path& path, std::string& error) override;
    bool cancel(std::string& error) override;
    bool pressAlertButton(int index, std::string& error) override;
    // Escape: the cancel button, or the only button of an alert without one.
    bool pressCancelKey() override;
    bool pressDefaultKey() override;

private:
    void layout();

    TextBlock title_;
    TextBlock message_;
    std::weak_ptr<AlertViewDelegate> delegate_;
    std::vector<std::string> buttonTitles_;
    int cancelButtonIndex_ = -1;
    std::vector<std::shared_ptr<TextButton>> buttons_;
    Rect box_;
    Rect titleRect_;
    Rect messageRect_;
    bool visible_ = false;
};

} // namespace platform
