#pragma once

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

// Edit mode's controller: it presents and dismisses the photo-library picker and hands the
// picker's answers to the application's delegate. Its own view, from its interface file,
// only carries the picker on and off the screen.
class LibraryViewController : public platform::ViewController,
                              public platform::ImagePickerControllerDelegate {
public:
    explicit LibraryViewController(std::string nibName);
    ~LibraryViewController() override;

    const std::shared_ptr<platform::ImagePickerController>& rollController() const {
        return rollController_;
    }
    void setRollController(std::shared_ptr<platform::ImagePickerController> value) {
        rollController_ = std::move(value);
    }

    // Makes the photo-library picker, with this controller as its delegate.
    void viewDidLoad() override;
    void viewDidUnload() override {}

    // Presents the picker, animated.
    void loadLibrary();
    // Dismisses it, animated.
    void unloadLibrary();

    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void
    imagePickerControllerDidFinishPickingMediaWithInfo(platform::ImagePickerController& picker,
                                                       const platform::MediaInfo& info) override;

private:
    std::shared_ptr<platform::ImagePickerController> rollController_;
};
