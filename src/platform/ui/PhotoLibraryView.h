#pragma once

#include "platform/ui/PhotoLibraryListing.h"
#include "platform/ui/TextBlock.h"
#include "platform/ui/View.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class PhotoGridView;
class ScrollView;
class TextButton;
class ThumbnailLoader;

// What the photo-library picker shows: a title bar ("Photos" and a "Cancel" control), the
// grid of the library's photos below it, newest first, the program's hint when there are
// none, and a message line along the bottom for a photo that could not be opened.
// Make it with create().
class PhotoLibraryView : public View {
public:
    static constexpr double kTitleBarHeight = 44; // points
    static constexpr double kMessageHeight = 40;

    static std::shared_ptr<PhotoLibraryView> create(Rect frame,
                                                    std::shared_ptr<ThumbnailLoader> loader);

    // Lists the folders afresh, scrolls to the top and asks for the first screen's
    // thumbnails; clears the message.
    void reload(const std::vector<std::filesystem::path>& folders);
    const std::vector<PhotoEntry>& photos() const;
    // The text shown where the grid would be when there is nothing to show; empty while
    // there are photos.
    const std::string& hint() const;
    // Makes that text from the first folder listed (an empty path when there is none) at the
    // next reload; without it an empty library shows nothing.
    void setEmptyHint(std::function<std::string(const std::filesystem::path& folder)> hint) {
        emptyHint_ = std::move(hint);
    }

    void showMessage(std::string message);
    const std::string& message() const;

    void setTitleBarHidden(bool hidden);

    std::shared_ptr<PhotoGridView> grid() const { return grid_; }
    std::shared_ptr<ScrollView> scrollView() const { return scroll_; }
    std::shared_ptr<TextButton> cancelButton() const { return cancel_; }

    // A photo was tapped; the Cancel control was pressed.
    std::function<void(const PhotoEntry&)> onPick;
    std::function<void()> onCancel;

    explicit PhotoLibraryView(Rect frame);

private:
    class TextPanel;

    void build(std::shared_ptr<ThumbnailLoader> loader);
    void arrange();

    std::shared_ptr<TextPanel> titleBar_;
    std::shared_ptr<ScrollView> scroll_;
    std::shared_ptr<PhotoGridView> grid_;
    std::shared_ptr<TextButton> cancel_;
    std::shared_ptr<TextPanel> hint_;
    std::shared_ptr<TextPanel> message_;
    std::function<std::string(const std::filesystem::path&)> emptyHint_;
    bool titleBarHidden_ = false;
};

} // namespace platform
