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

// What the photo-library picker shows: a title bar (the folder's name, "Photos" for the
// library itself, a "Back" control in a subfolder and a "Cancel" control), the grid of the
// folder's subfolders and photos below it, and the program's hint when the library has none.
// A tap on a folder opens it; Back goes to the folder above, never above the library.
// Make it with create().
class PhotoLibraryView : public View {
public:
    static constexpr double kTitleBarHeight = 44; // points

    static std::shared_ptr<PhotoLibraryView> create(Rect frame,
                                                    std::shared_ptr<ThumbnailLoader> loader);

    // Opens the library's own folder afresh: lists it, scrolls to the top and asks for the
    // first screen's thumbnails.
    void reload(const std::filesystem::path& library);
    // Shows a folder inside the library (or the library itself) in the same way.
    void openFolder(const std::filesystem::path& folder);
    // The folder above, when a subfolder is shown; false in the library itself.
    bool goUp();
    const std::filesystem::path& folder() const { return folder_; }
    bool isInSubfolder() const { return folder_ != library_; }
    const std::string& title() const;
    // The folders first, then the photos.
    const std::vector<PhotoEntry>& photos() const;
    // The text shown where the grid would be when there is nothing to show; empty while
    // there are photos.
    const std::string& hint() const;
    // Makes that text from the library's folder at the next reload; without it an empty
    // library shows nothing.
    void setEmptyHint(std::function<std::string(const std::filesystem::path& folder)> hint) {
        emptyHint_ = std::move(hint);
    }

    void setTitleBarHidden(bool hidden);

    std::shared_ptr<PhotoGridView> grid() const { return grid_; }
    std::shared_ptr<ScrollView> scrollView() const { return scroll_; }
    std::shared_ptr<TextButton> cancelButton() const { return cancel_; }
    std::shared_ptr<TextButton> backButton() const { return back_; }

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
    std::shared_ptr<TextButton> back_;
    std::shared_ptr<TextPanel> hint_;
    std::filesystem::path library_;
    std::filesystem::path folder_;
    std::function<std::string(const std::filesystem::path&)> emptyHint_;
    bool titleBarHidden_ = false;
};

} // namespace platform
