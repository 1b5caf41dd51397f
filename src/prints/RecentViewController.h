#pragma once

#include "prints/PaperPrinter.h"
#include "prints/PrintLists.h"

#include "platform/graphics/Image.h"
#include "platform/ui/AlertViewDelegate.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GalleryRowPictures;

// The gallery of recent prints: the small prints of the print list, newest first, one row
// each in a vertical scroll area, with a remove button on every row. Built from its interface
// file, which gives the scroll area and the done and remove-all controls.
class RecentViewController : public platform::ViewController, public platform::AlertViewDelegate {
public:
    // Each row is this many points tall: a 20-point gap above a 250-point picture.
    static constexpr double kRowHeight = 270;

    explicit RecentViewController(std::string nibName);
    ~RecentViewController() override;

    // The lists the rows show and the removals change; wired when the screen is built.
    void setPrintLists(std::shared_ptr<PrintLists> lists) { printLists_ = std::move(lists); }
    // The picture of every row's remove button.
    void setRemoveButtonImage(platform::ImageRef image) { removeImage_ = std::move(image); }
    // What the gallery says while it has no prints, a line a label, the first as a title;
    // handed in by the program, which knows how a print is made.
    void setEmptyNote(std::vector<std::string> lines) { emptyLines_ = std::move(lines); }
    // The note's labels while the gallery is empty, else none.
    const std::shared_ptr<platform::View>& emptyNote() const { return emptyNote_; }

    const std::shared_ptr<platform::ScrollView>& scrollArea() const { return scrollArea_; }
    void setScrollArea(std::shared_ptr<platform::ScrollView> value) {
        scrollArea_ = std::move(value);
        // Paged by key, a print stands at the top.
        if (scrollArea_)
            scrollArea_->setRowHeight(kRowHeight);
    }

    // Rebuilds every row from the print list, reading each small print afresh from its file.
    // Leaves the scroll position where it is.
    void refreshImages();
    // Gives the rows in view and beside them pictures as sharp as the window draws them
    // (their full-size prints, reduced, where the window has more pixels than a small print),
    // while the gallery is on screen; lets them go once it is not. Called as the rows, the
    // scroll position or the window's scale change.
    void showSharpRows();
    // What the rows show beyond their small prints (for tests).
    const GalleryRowPictures& rowPictures() const { return *rowPictures_; }
    // A remove button (its tag is the row's list index) or the remove-all control was
    // touched: asks for confirmation, unless a confirmation is open already.
    void removePrints(const std::shared_ptr<platform::View>& sender);
    void removeAllPrints(const std::shared_ptr<platform::View>& sender);
    // The confirmation's answer: 1 deletes the files at once and saves the print list;
    // anything else removes nothing.
    void alertViewClickedButtonAtIndex(platform::AlertView& alertView, int buttonIndex) override;
    // Slides the gallery down off the screen; the rows stay until the next refresh.
    void doneButtonClicked(const std::shared_ptr<platform::View>& sender);
    // The picture in that file of the Documents directory, or nullptr.
    platform::ImageRef loadImage(const std::string& name);

    // Shows the full-size print of a row in the desktop's image viewer: the album's copy,
    // or the gallery's own full-size file where the album no longer has it. A print that
    // cannot be shown is said in an alert. False when nothing was opened.
    bool openPrint(std::size_t row);
    // The row a double click lands on, or the one most in view, opened as above.
    bool openPrintAt(platform::Point contentPoint);
    bool openPrintInView();
    // The album's folder in the desktop's file manager.
    bool openAlbumFolder();
    // Sends the full-size print of the row most in view to the paper printer again; without
    // a printer chosen, a note says how to choose one.
    bool printInViewOnPaper();
    void setPaperPrinter(std::shared_ptr<PaperPrinter> printer) {
        paperPrinter_ = std::move(printer);
    }
    // What hands a file or folder to the desktop (DesktopOpener::open unless set): true when
    // it was handed over, else false and the reason.
    using Opener = std::function<bool(const std::filesystem::path&, std::string& error)>;
    void setOpener(Opener opener) { opener_ = std::move(opener); }
    // The full-size file openPrint shows for a print; empty when it has none.
    static std::filesystem::path fullSizePicture(const std::string& printName);

    void viewDidUnload() override {}
    void connectOutlet(const std::string& name, std::shared_ptr<platform::View> view) override;
    std::function<void()> actionNamed(const std::string& name) override;

    bool isSaving() const { return isSaving_; }

    static constexpr const char* kRemoveOneTitle = "Remove This Print";
    static constexpr const char* kRemoveOneMessage =
        "Full size print will remain in your camera roll and won't be deleted.";
    static constexpr const char* kRemoveAllTitle = "Remove All Prints";
    static constexpr const char* kRemoveAllMessage =
        "Full size prints will remain in your camera roll and won't be deleted.";

private:
    void showConfirmation(const char* title, const char* message);
    // Hands `target` to the desktop, or says why not in an alert of that title.
    bool open(const std::filesystem::path& target, const std::string& title);
    // The empty note on the gallery's view exactly while there are no rows.
    void showEmptyNote(bool empty);
    // Once `seconds` have passed, the rows go back to their small prints if the gallery is
    // still away.
    void letSharpRowsGoAfter(double seconds);

    std::shared_ptr<platform::ScrollView> scrollArea_;
    std::shared_ptr<PrintLists> printLists_;
    platform::ImageRef removeImage_;
    std::vector<std::string> emptyLines_;
    Opener opener_;
    std::shared_ptr<PaperPrinter> paperPrinter_;
    std::shared_ptr<platform::View> emptyNote_;
    std::unique_ptr<GalleryRowPictures> rowPictures_;
    // The window told us once that it tells us of changes of its scale.
    bool watchesScale_ = false;
    // Own to the gallery, not the camera's flag of the same name: a confirmation is open or
    // being carried out.
    bool isSaving_ = false;
    bool isAll_ = false;
    std::uint32_t selectedTag_ = 0;
};
