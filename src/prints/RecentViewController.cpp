#include "prints/RecentViewController.h"

#include "prints/GalleryRowPictures.h"
#include "prints/PrintStore.h"

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

RecentViewController::RecentViewController(std::string nibName)
    : platform::ViewController(std::move(nibName)),
      rowPictures_(std::make_unique<GalleryRowPictures>()) {}

RecentViewController::~RecentViewController() = default;

void RecentViewController::connectOutlet(const std::string& name,
                                         std::shared_ptr<platform::View> view) {
    if (name == "scrollArea")
        setScrollArea(std::dynamic_pointer_cast<platform::ScrollView>(view));
}

std::function<void()> RecentViewController::actionNamed(const std::string& name) {
    using Handler = void (RecentViewController::*)(const std::shared_ptr<platform::View>&);
    Handler handler = nullptr;
    if (name == "doneButtonClicked")
        handler = &RecentViewController::doneButtonClicked;
    else if (name == "removeAllPrints")
        handler = &RecentViewController::removeAllPrints;
    if (!handler)
        return {};
    // The controls are the gallery's own and are not needed as senders.
    return
        [weak = std::weak_ptr(std::static_pointer_cast<RecentViewController>(shared_from_this())),
         handler] {
            if (auto self = weak.lock())
                ((*self).*handler)(nullptr);
        };
}

void RecentViewController::refreshImages() {
    if (!printLists_ || !scrollArea_)
        return;
    const PrintLists::List& prints = printLists_->printsXML();
    const std::size_t count = prints.size();
    scrollArea_->setContentSize({320, kRowHeight * static_cast<double>(count)});

    // A copy: removing changes the list being walked.
    const auto rows = scrollArea_->subviews();
    for (const auto& row : rows)
        row->removeFromSuperview();

    const auto weak =
        std::weak_ptr(std::static_pointer_cast<RecentViewController>(shared_from_this()));
    // A double click on a row shows its print full size, as a file manager opens a picture.
    scrollArea_->setOnTap([weak](platform::Point point, int taps) {
        if (auto self = weak.lock(); self && taps == 2)
            self->openPrintAt(point);
    });
    std::vector<GalleryRowPictures::Row> sharpRows;
    for (std::size_t i = 0; i < count; ++i) {
        const double top = kRowHeight * static_cast<double>(i);
        auto picture =
            std::make_shared<platform::ImageView>(platform::Rect{35, top + 20, 250, 250});
        auto remove = std::make_shared<platform::Button>(platform::Rect{240, top + 200, 68, 38});
        remove->setTag(static_cast<int>(i));
        remove->addTarget([weak, sender = std::weak_ptr<platform::View>(remove)] {
            if (auto self = weak.lock())
                self->removePrints(sender.lock());
        });
        remove->setBackgroundImage(removeImage_);
        const std::string name = PrintStore::printName(prints[i]);
        picture->setImage(loadImage(name));
        scrollArea_->addSubview(picture);
        scrollArea_->addSubview(remove);
        sharpRows.push_back({picture, picture->image(),
                             PrintStore::isPlainFileName(name)
                                 ? PrintStore::documentsDirectory() / ("big_" + name)
                                 : std::filesystem::path()});
    }
    rowPictures_->setRows(std::move(sharpRows));
    showSharpRows();
    showEmptyNote(count == 0);
    isSaving_ = false;
}

void RecentViewController::showEmptyNote(bool empty) {
    if (emptyNote_)
        emptyNote_->removeFromSuperview();
    emptyNote_ = nullptr;
    if (!empty || emptyLines_.empty() || !view())
        return;
    // Centred in the part of the gallery below its bar, in the bar's lettering.
    constexpr double kTitleHeight = 34, kLineHeight = 20, kTop = 44, kBottom = 480;
    const double height = kTitleHeight + kLineHeight * static_cast<double>(emptyLines_.size() - 1);
    emptyNote_ = std::make_shared<platform::View>(
        platform::Rect{10, kTop + (kBottom - kTop - height) / 2, 300, height});
    double y = 0;
    for (std::size_t i = 0; i < emptyLines_.size(); ++i) {
        const bool title = i == 0;
        auto label = std::make_shared<platform::Label>(
            platform::Rect{0, y, 300, title ? kTitleHeight : kLineHeight});
        // The lines name the album's folder, which may be written in any script.
        label->setShowsUserText(true);
        label->setText(emptyLines_[i]);
        label->setFontName(title ? "Helvetica-Bold" : "Helvetica");
        label->setFontSize(title ? 20 : 14);
        label->setTextColor(title ? platform::Color{0.96, 0.94, 0.9, 1}
                                  : platform::Color{0.72, 0.69, 0.64, 1});
        label->setTextAlignment(platform::TextAlignment::Center);
        emptyNote_->addSubview(label);
        y += label->frame().size.height;
    }
    view()->addSubview(emptyNote_);
}

void RecentViewController::doneButtonClicked(const std::shared_ptr<platform::View>&) {
    platform::View::beginAnimations();
    platform::View::setAnimationDuration(0.5);
    view()->setTransform(platform::AffineTransform::makeTranslation(0, 480));
    platform::View::commitAnimations();
    // The sharp pictures stay for the slide and go once nobody can see them.
    letSharpRowsGoAfter(0.5);
}

platform::ImageRef RecentViewController::loadImage(const std::string& name) {
    // A row shows its print 250 points a side, 500 pixels in a window at its usual two pixels
    // a point: a file claiming more (a small print is 250) is decoded reduced to about that,
    // never at whatever size it claims.
    constexpr int kRowPicturePixels = 500;
    if (!PrintStore::isPlainFileName(name))
        return nullptr;
    return platform::Image::readFile(PrintStore::documentsDirectory() / name, kRowPicturePixels);
}
