#pragma once

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

// Edit mode's controller: it owns the photo-library picker and presents and dismisses it. Its
// own view, from its interface file, only carries the picker on and off the screen.
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

    // Presents the picker, animated.
    void loadLibrary();
    // Dismisses it, animated.
    void unloadLibrary();

    void viewDidLoad() override;
    void viewDidUnload() override {}

    // A cancelled pick returns to camera mode; a picked photograph goes to the delegate,
    // which also dismisses the picker.
    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void
    imagePickerControllerDidFinishPickingMediaWithInfo(platform::ImagePickerController& picker,
                                                       const platform::MediaInfo& info) override;

private:
    std::shared_ptr<platform::ImagePickerController> rollController_;
};
