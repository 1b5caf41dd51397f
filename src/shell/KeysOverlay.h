#pragma once

#include "shell/KeyboardShortcuts.h"

#include "platform/ui/ScriptResponder.h"
#include "platform/ui/TextBlock.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

// The list of keys over the whole screen, with a word on the strips, in the lettering of the
// screen's own alerts. Any key or click takes it away and does nothing else; until then it
// covers everything from the mouse, the wheel and the keys, and a script is told to close it.
class KeysOverlay : public platform::View, public platform::ScriptResponder {
public:
    KeysOverlay(std::vector<KeyboardShortcuts::GuideLine> lines, std::string footnote);

    // Puts a new overlay in front of everything in `window` and makes it the application's
    // front responder; null without a window.
    static std::shared_ptr<KeysOverlay> show(const std::shared_ptr<platform::Window>& window,
                                             std::vector<KeyboardShortcuts::GuideLine> lines);
    // Takes it off the screen; false when it was not shown.
    bool dismiss();
    bool isShowing() const { return superview() != nullptr; }

    // The box the list is drawn in, in the screen's points.
    platform::Rect boxFrame() const { return box_; }

    void draw(platform::ImageContext& context) override;
    void touchesBegan(platform::Point) override {}
    void touchesMoved(platform::Point) override {}
    void touchesEnded(platform::Point) override { dismiss(); }
    void touchesCancelled(platform::Point) override {}

    bool pick(const std::filesystem::path& path, std::string& error) override;
    bool cancel(std::string& error) override;
    bool pressAlertButton(int index, std::string& error) override;
    bool pressCancelKey() override { return dismiss(); }
    bool pressDefaultKey() override { return dismiss(); }
    bool pressOtherKey(const std::string&) override { return dismiss(); }

private:
    struct Row {
        platform::TextBlock keys;
        platform::TextBlock does;
        double height;
    };
    void layout();

    platform::TextBlock title_;
    std::vector<Row> rows_;
    platform::TextBlock footnote_;
    platform::TextBlock closing_;
    platform::Rect box_;
};
