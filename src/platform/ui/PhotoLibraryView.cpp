#include "platform/ui/PhotoLibraryView.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/PhotoGridView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextButton.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace platform {

// A block of text over an optional background, or the title bar's gradient.
class PhotoLibraryView::TextPanel : public View {
public:
    TextPanel(Rect frame, TextStyle style, bool bar) : View(frame), style_(style), bar_(bar) {
        setUserInteractionEnabled(false);
    }
    const std::string& text() const { return text_.text(); }
    void setText(std::string text) {
        text_ = TextBlock(std::move(text), style_);
        setNeedsDisplay();
    }
    // Points kept free of text at each side, for the controls over the bar.
    void setTextInset(double inset) {
        inset_ = inset;
        setNeedsDisplay();
    }
    void draw(ImageContext& context) override {
        View::draw(context);
        const Rect b = bounds();
        if (bar_) {
            cairo_t* cr = context.cairo();
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            cairo_pattern_t* fill = cairo_pattern_create_linear(0, b.minY(), 0, b.maxY());
            cairo_pattern_add_color_stop_rgb(fill, 0, 0.58, 0.65, 0.76);
            cairo_pattern_add_color_stop_rgb(fill, 0.5, 0.43, 0.52, 0.65);
            cairo_pattern_add_color_stop_rgb(fill, 1, 0.33, 0.42, 0.56);
            cairo_rectangle(cr, b.x(), b.y(), b.width(), b.height());
            cairo_set_source(cr, fill);
            cairo_fill(cr);
            cairo_pattern_destroy(fill);
            cairo_rectangle(cr, b.x(), b.maxY() - 1, b.width(), 1);
            cairo_set_source_rgb(cr, 0.18, 0.23, 0.32);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        text_.drawCentered(context, {b.x() + inset_, b.y(), b.width() - 2 * inset_, b.height()});
    }

private:
    TextStyle style_;
    bool bar_;
    TextBlock text_;
    double inset_ = 12;
};

namespace {

const TextStyle kTitleStyle{20, true, Color::white(), TextAlignment::Center};
const TextStyle kHintStyle{16, false, Color{0.45, 0.45, 0.48, 1}, TextAlignment::Center};
constexpr const char* kLibraryTitle = "Photos";
const TextStyle kCancelStyle{13, true, Color::white(), TextAlignment::Center};

} // namespace

PhotoLibraryView::PhotoLibraryView(Rect frame) : View(frame) {
    setBackgroundColor(Color::white());
}

std::shared_ptr<PhotoLibraryView>
PhotoLibraryView::create(Rect frame, std::shared_ptr<ThumbnailLoader> loader) {
    auto view = std::make_shared<PhotoLibraryView>(frame);
    view->build(std::move(loader));
    return view;
}

void PhotoLibraryView::build(std::shared_ptr<ThumbnailLoader> loader) {
    const double width = bounds().width();
    titleBar_ = std::make_shared<TextPanel>(Rect{0, 0, width, kTitleBarHeight}, kTitleStyle, true);
    titleBar_->setText(kLibraryTitle);
    titleBar_->setTextInset(76);
    scroll_ = std::make_shared<ScrollView>();
    scroll_->setBackgroundColor(Color::white());
    // Paged by key, a row of photos stands at the top.
    scroll_->setRowHeight(PhotoGridView::kCellSize);
    grid_ = std::make_shared<PhotoGridView>(std::move(loader));
    scroll_->addSubview(grid_);
    hint_ = std::make_shared<TextPanel>(Rect{}, kHintStyle, false);
    hint_->setHidden(true);
    cancel_ = std::make_shared<TextButton>(Rect{width - 68, 7, 60, 30}, "Cancel", kCancelStyle);
    cancel_->setFillColor(Color{0.25, 0.33, 0.47, 1});
    cancel_->setBorderColor(Color{0.15, 0.2, 0.3, 1});
    cancel_->setCornerRadius(5);
    cancel_->addTarget([weak = weak_from_this()] {
        auto self = std::static_pointer_cast<PhotoLibraryView>(weak.lock());
        if (self && self->onCancel)
            self->onCancel();
    });
    back_ = std::make_shared<TextButton>(Rect{8, 7, 60, 30}, "Back", kCancelStyle);
    back_->setFillColor(Color{0.25, 0.33, 0.47, 1});
    back_->setBorderColor(Color{0.15, 0.2, 0.3, 1});
    back_->setCornerRadius(5);
    back_->setHidden(true);
    back_->addTarget([weak = weak_from_this()] {
        if (auto self = std::static_pointer_cast<PhotoLibraryView>(weak.lock()))
            self->goUp();
    });
    grid_->onTap = [weak = weak_from_this()](int index) {
        auto self = std::static_pointer_cast<PhotoLibraryView>(weak.lock());
        if (!self || index < 0 || index >= static_cast<int>(self->grid_->photos().size()))
            return;
        // A copy: opening a folder or the pick may reload the grid.
        const PhotoEntry entry = self->grid_->photos()[static_cast<std::size_t>(index)];
        if (entry.isFolder)
            self->openFolder(entry.path);
        else if (self->onPick)
            self->onPick(entry);
    };
    addSubview(scroll_);
    addSubview(hint_);
    addSubview(titleBar_);
    addSubview(cancel_);
    addSubview(back_);
    arrange();
}

void PhotoLibraryView::arrange() {
    const double top = titleBarHidden_ ? 0 : kTitleBarHeight;
    const Rect area{0, top, bounds().width(), bounds().height() - top};
    scroll_->setFrame(area);
    hint_->setFrame({30, area.y() + 40, area.width() - 60, 160});
    titleBar_->setHidden(titleBarHidden_);
    cancel_->setHidden(titleBarHidden_);
    back_->setHidden(titleBarHidden_ || !isInSubfolder());
    grid_->setPhotos(grid_->photos(), area.height());
    scroll_->setContentSize(grid_->bounds().size);
}

void PhotoLibraryView::setTitleBarHidden(bool hidden) {
    titleBarHidden_ = hidden;
    arrange();
}

void PhotoLibraryView::reload(const std::filesystem::path& library) {
    library_ = library;
    openFolder(library);
}

void PhotoLibraryView::openFolder(const std::filesystem::path& folder) {
    folder_ = folder;
    const Rect area = scroll_->frame();
    grid_->setPhotos(PhotoLibraryListing::list(folder), area.height());
    scroll_->setContentSize(grid_->bounds().size);
    scroll_->setContentOffset({0, 0});
    titleBar_->setText(isInSubfolder() ? folder.filename().string() : kLibraryTitle);
    back_->setHidden(titleBarHidden_ || !isInSubfolder());
    const auto& entries = grid_->photos();
    const auto folders = std::count_if(entries.begin(), entries.end(),
                                       [](const PhotoEntry& entry) { return entry.isFolder; });
    // The library says where photos go while it has none of its own, even with folders in it
    // (the album is one from the first start); below them, so they can still be opened.
    std::string hint;
    if (!isInSubfolder() && folders == std::ssize(entries) && emptyHint_)
        hint = emptyHint_(library_);
    else if (isInSubfolder() && entries.empty())
        hint = "No photos in this folder.";
    const double below =
        std::ceil(double(folders) / PhotoGridView::kColumns) * PhotoGridView::kCellSize;
    hint_->setFrame({30, area.y() + below + 40, area.width() - 60, 160});
    hint_->setHidden(hint.empty());
    hint_->setText(std::move(hint));
    grid_->requestThumbnails({0, 0, area.width(), area.height()});
}

bool PhotoLibraryView::goUp() {
    if (!isInSubfolder())
        return false;
    // Where a link took us, "up" is still the folder the user came through.
    openFolder(folder_.parent_path());
    return true;
}

const std::string& PhotoLibraryView::title() const {
    return titleBar_->text();
}

const std::vector<PhotoEntry>& PhotoLibraryView::photos() const {
    return grid_->photos();
}

const std::string& PhotoLibraryView::hint() const {
    return hint_->text();
}

} // namespace platform
