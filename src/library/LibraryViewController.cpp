#include "library/LibraryViewController.h"

#include "shell/MorvaneAppDelegate.h"

LibraryViewController::LibraryViewController(std::string nibName)
    : platform::ViewController(std::move(nibName)) {}

LibraryViewController::~LibraryViewController() = default;

void LibraryViewController::viewDidLoad() {
    // A second load replaces the picker, and the old one goes with its last reference.
    setRollController(std::make_shared<platform::ImagePickerController>());
    rollController_->setSourceType(platform::ImagePickerController::SourceType::PhotoLibrary);
    rollController_->setDelegate(
        std::static_pointer_cast<LibraryViewController>(shared_from_this()));
    // The whole photograph, without a cropping step of the picker's own.
    rollController_->setAllowsEditing(false);
    platform::ViewController::viewDidLoad();
}

void LibraryViewController::loadLibrary() {
    // Pressed again while the picker is up, the library button finds it presented already.
    if (modalViewController() == rollController_)
        return;
    presentModalViewController(rollController_, true);
}

void LibraryViewController::unloadLibrary() {
    dismissModalViewControllerAnimated(true);
}

void LibraryViewController::imagePickerControllerDidCancel(platform::ImagePickerController&) {
    if (auto delegate = MorvaneAppDelegate::sharedDelegate())
        delegate->cameraButtonTouched();
}

void LibraryViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    platform::ImagePickerController&, const platform::MediaInfo& info) {
    const auto found = info.find(platform::kImagePickerControllerOriginalImage);
    const platform::ImageRef photograph = found != info.end() ? found->second : nullptr;
    if (auto delegate = MorvaneAppDelegate::sharedDelegate())
        delegate->loadImageFromRoll(photograph);
}
