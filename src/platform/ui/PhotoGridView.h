#pragma once

#include "platform/ui/PhotoLibraryListing.h"
#include "platform/ui/TextBlock.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {

class ThumbnailLoader;

// The photos of the library as a grid of square thumbnails, four columns of 80 points, as
// tall as its rows; it lives inside a scroll view. Only the cells in sight are drawn and
// only their thumbnails (and those a screen further on) are asked for, so a thousand photos
// cost no more than a screenful. A cell shows a grey placeholder until its thumbnail is
// there, a crossed one when the photo cannot be read, and a folder its icon and name. A tap on a
// cell calls onTap with its index; a drag goes to the scroll view.
class PhotoGridView : public View {
public:
    static constexpr double kCellSize = 80; // points
    static constexpr int kColumns = 4;
    // Points of white between neighbouring thumbnails.
    static constexpr double kGap = 2;

    explicit PhotoGridView(std::shared_ptr<ThumbnailLoader> loader);

    // Resizes the grid to its rows (at least `minimumHeight` points tall, so an empty grid
    // still fills its scroll view).
    void setPhotos(std::vector<PhotoEntry> photos, double minimumHeight = 0);
    const std::vector<PhotoEntry>& photos() const { return photos_; }
    const std::shared_ptr<ThumbnailLoader>& loader() const { return loader_; }

    // In the grid's coordinates (points).
    Rect cellRect(int index) const;
    // -1 when no cell is there.
    int indexAtPoint(Point point) const;
    // Asks for the thumbnails of the cells that meet `visible` (grid coordinates) and of a
    // screenful beyond it, nearest first.
    void requestThumbnails(const Rect& visible);

    std::function<void(int index)> onTap;

    void draw(ImageContext& context) override;
    bool isControl() const override { return true; }
    void touchesBegan(Point point) override;
    void touchesMoved(Point point) override;
    void touchesEnded(Point point) override;
    void touchesCancelled(Point point) override;

private:
    void setPressed(int index);
    std::pair<int, int> rowsMeeting(const Rect& area) const;

    std::shared_ptr<ThumbnailLoader> loader_;
    std::vector<PhotoEntry> photos_;
    // The folder cells' names, by the index of their entry.
    std::vector<TextBlock> folderNames_;
    int pressed_ = -1;
};

} // namespace platform
