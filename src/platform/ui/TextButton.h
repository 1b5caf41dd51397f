#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/TextBlock.h"

#include <optional>
#include <string>

namespace platform {

// A button with a caption, for the platform's own screens (alerts, pickers): an optional
// rounded fill and border under the caption, drawn darker while pressed.
class TextButton : public Button {
public:
    TextButton(Rect frame, std::string title, TextStyle style = {});

    const std::string& title() const { return title_.text(); }
    void setTitle(std::string title);
    void setFillColor(std::optional<Color> color);
    void setBorderColor(std::optional<Color> color);
    // Points.
    void setCornerRadius(double radius);

    void draw(ImageContext& context) override;

private:
    TextBlock title_;
    std::optional<Color> fill_;
    std::optional<Color> border_;
    double cornerRadius_ = 6;
};

} // namespace platform
