#include "platform/ui/PhotoGridView.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/TextBlock.h"
#include "platform/ui/ThumbnailLoader.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace platform {

namespace {

const TextStyle kFolderNameStyle{11, false, Color{0.2, 0.22, 0.26, 1}, TextAlignment::Center};

// A folder as file managers draw one: a tab over a body, and its name below.
void drawFolder(ImageContext& context, const Rect& cell, const TextBlock& name) {
    context.setRGBFillColor(0.94, 0.95, 0.97, 1);
    context.fillRect(cell);
    cairo_t* cr = context.cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const double x = cell.minX() + 16, y = cell.minY() + 12, w = cell.width() - 32, h = 34;
    cairo_rectangle(cr, x, y, w * 0.42, 8);
    cairo_set_source_rgb(cr, 0.36, 0.55, 0.8);
    cairo_fill(cr);
    cairo_rectangle(cr, x, y + 5, w, h - 5);
    cairo_set_source_rgb(cr, 0.45, 0.64, 0.88);
    cairo_fill(cr);
    cairo_restore(cr);
    name.draw(context, {cell.minX() + 3, y + h + 3, cell.width() - 6, cell.maxY() - (y + h + 3)});
}

} // namespace

PhotoGridView::PhotoGridView(std::shared_ptr<ThumbnailLoader> loader)
    : View(Rect{0, 0, kColumns * kCellSize, 0}), loader_(std::move(loader)) {
    setBackgroundColor(Color::white());
}

void PhotoGridView::setPhotos(std::vector<PhotoEntry> photos, double minimumHeight) {
    photos_ = std::move(photos);
    // Kept with the grid, so a name in another script is laid out once, not at every redraw.
    folderNames_.clear();
    for (const PhotoEntry& photo : photos_)
        folderNames_.push_back(photo.isFolder
                                   ? TextBlock(photo.path.filename().string(), kFolderNameStyle)
                                   : TextBlock());
    pressed_ = -1;
    const double rows = std::ceil(static_cast<double>(photos_.size()) / kColumns);
    const Rect f = frame();
    setFrame({f.x(), f.y(), kColumns * kCellSize, std::max(rows * kCellSize, minimumHeight)});
    setNeedsDisplay();
}

Rect PhotoGridView::cellRect(int index) const {
    if (index < 0 || index >= static_cast<int>(photos_.size()))
        return {};
    const int row = index / kColumns;
    const int column = index % kColumns;
    return {column * kCellSize, row * kCellSize, kCellSize, kCellSize};
}

int PhotoGridView::indexAtPoint(Point point) const {
    if (point.x < 0 || point.y < 0 || point.x >= kColumns * kCellSize)
        return -1;
    const long row = static_cast<long>(point.y / kCellSize);
    const long column = static_cast<long>(point.x / kCellSize);
    const long index = row * kColumns + column;
    return index < static_cast<long>(photos_.size()) ? static_cast<int>(index) : -1;
}

std::pair<int, int> PhotoGridView::rowsMeeting(const Rect& area) const {
    const int rows = static_cast<int>((photos_.size() + kColumns - 1) / kColumns);
    if (!(area.height() > 0) || rows == 0)
        return {0, 0};
    const int first = std::clamp(static_cast<int>(std::floor(area.minY() / kCellSize)), 0, rows);
    const int last = std::clamp(static_cast<int>(std::ceil(area.maxY() / kCellSize)), 0, rows);
    return {first, last};
}

void PhotoGridView::requestThumbnails(const Rect& visible) {
    if (!loader_)
        return;
    const Rect ahead{visible.x(), visible.y() - visible.height(), visible.width(),
                     visible.height() * 3};
    auto [first, last] = rowsMeeting(visible);
    auto [aheadFirst, aheadLast] = rowsMeeting(ahead);
    // The loader serves the newest request first: ask for the cells further off first, the
    // ones in sight last.
    std::vector<int> order;
    for (int row = aheadFirst; row < aheadLast; ++row)
        if (row < first || row >= last)
            order.push_back(row);
    std::sort(order.begin(), order.end(),
              [first = first](int a, int b) { return std::abs(a - first) > std::abs(b - first); });
    for (int row = last - 1; row >= first; --row)
        order.push_back(row);
    loader_->setReadyHandler([weak = weak_from_this()] {
        if (auto self = weak.lock())
            self->setNeedsDisplay();
    });
    for (int row : order)
        for (int column = kColumns - 1; column >= 0; --column) {
            const std::size_t index = static_cast<std::size_t>(row) * kColumns + column;
            if (index < photos_.size() && !photos_[index].isFolder)
                loader_->request(photos_[index]);
        }
}

void PhotoGridView::draw(ImageContext& context) {
    View::draw(context);
    double x0, y0, x1, y1;
    cairo_clip_extents(context.cairo(), &x0, &y0, &x1, &y1);
    const Rect visible = Rect{x0, y0, x1 - x0, y1 - y0}.intersection(bounds());
    requestThumbnails(visible);
    auto [first, last] = rowsMeeting(visible);
    for (int row = first; row < last; ++row)
        for (int column = 0; column < kColumns; ++column) {
            const int index = row * kColumns + column;
            if (index >= static_cast<int>(photos_.size()))
                break;
            const Rect cell = cellRect(index);
            const Rect picture{cell.x() + kGap / 2, cell.y() + kGap / 2, cell.width() - kGap,
                               cell.height() - kGap};
            const ImageRef thumbnail =
                loader_ && !photos_[index].isFolder ? loader_->thumbnail(photos_[index]) : nullptr;
            if (photos_[index].isFolder) {
                drawFolder(context, picture, folderNames_[index]);
            } else if (thumbnail) {
                context.drawImageUpright(picture, *thumbnail);
            } else {
                const bool failed =
                    loader_ && loader_->state(photos_[index]) == ThumbnailLoader::State::Failed;
                const double grey = failed ? 0.7 : 0.88;
                context.setRGBFillColor(grey, grey, grey, 1);
                context.fillRect(picture);
                if (failed) {
                    // A cross: this file could not be read.
                    cairo_t* cr = context.cairo();
                    cairo_save(cr);
                    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
                    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
                    cairo_set_line_width(cr, 2);
                    const double inset = 28;
                    cairo_move_to(cr, picture.minX() + inset, picture.minY() + inset);
                    cairo_line_to(cr, picture.maxX() - inset, picture.maxY() - inset);
                    cairo_move_to(cr, picture.maxX() - inset, picture.minY() + inset);
                    cairo_line_to(cr, picture.minX() + inset, picture.maxY() - inset);
                    cairo_stroke(cr);
                    cairo_restore(cr);
                }
            }
            if (index == pressed_) {
                context.setRGBFillColor(0, 0, 0, 0.35);
                context.fillRect(picture);
            }
        }
}

void PhotoGridView::setPressed(int index) {
    if (index != pressed_) {
        pressed_ = index;
        setNeedsDisplay();
    }
}

void PhotoGridView::touchesBegan(Point point) {
    setPressed(indexAtPoint(point));
}

void PhotoGridView::touchesMoved(Point point) {
    if (pressed_ >= 0 && indexAtPoint(point) != pressed_)
        setPressed(-1);
}

void PhotoGridView::touchesEnded(Point point) {
    const int index = pressed_;
    setPressed(-1);
    if (index >= 0 && indexAtPoint(point) == index && onTap)
        onTap(index);
}

void PhotoGridView::touchesCancelled(Point) {
    setPressed(-1);
}

} // namespace platform
