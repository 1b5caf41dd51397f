#include "library/LibraryViewController.h"

#include "platform/ui/Application.h"

namespace {

constexpr double kSlideDuration = 0.5; // seconds

void slideTo(const std::shared_ptr<platform::View>& view, double y) {
    platform::View::animate(kSlideDuration, [&] {
        view->setTransform(platform::AffineTransform::makeTranslation(0, y));
    });
}

} // namespace

LibraryViewController::LibraryViewController(std::string nibName)
    : platform::ViewController(std::move(nibName)) {}

LibraryViewController::~LibraryViewController() = default;

void LibraryViewController::viewDidLoad() {
    rollController_ = std::make_shared<platform::ImagePickerController>();
    rollController_->setSourceType(platform::ImagePickerController::SourceType::PhotoLibrary);
    // Weak: the picker must not keep its owner alive.
    rollController_->setDelegate(std::weak_ptr<platform::ImagePickerControllerDelegate>(
        std::static_pointer_cast<LibraryViewController>(shared_from_this())));
    // The whole photograph is wanted; the square is cut from it here, not by the picker.
    rollController_->setAllowsEditing(false);
    // Someone new to the camera meets an empty library first: it says where photographs go.
    rollController_->setEmptyLibraryHint([](const std::filesystem::path& folder) {
        return "No photos yet.\nPut photos (JPEG, PNG, HEIC\nor WebP) in\n" +
               (folder.empty() ? std::string("the Pictures folder") : folder.string()) +
               "\nto make prints of them.";
    });
    platform::ViewController::viewDidLoad();
}

void LibraryViewController::loadLibrary() {
    // The picker is made with the view; asking for the view makes sure both exist.
    view();
    // Pressed again while the picker is up, the picker simply stays.
    if (rollController_ && modalViewController() != rollController_)
        presentModalViewController(rollController_, true);
}

void LibraryViewController::unloadLibrary() {
    // Dismissing with nothing presented must not dismiss this controller from its own parent.
    if (modalViewController())
        dismissModalViewControllerAnimated(true);
}

void LibraryViewController::bringUp() {
    loadLibrary();
    slideTo(view(), 0);
}

void LibraryViewController::putAway() {
    unloadLibrary();
    slideTo(view(), platform::Application::kScreenHeight);
}

void LibraryViewController::imagePickerControllerDidCancel(platform::ImagePickerController&) {
    if (onCancel_)
        onCancel_();
}

void LibraryViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    platform::ImagePickerController&, const platform::MediaInfo& info) {
    const auto found = info.find(platform::kImagePickerControllerOriginalImage);
    if (found == info.end())
        return;
    if (onPick_)
        onPick_(found->second);
}
