#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>
#include <string>

// The root controller and owner of the live camera: a bare, full-screen camera picker that
// lies beneath every view of the main screen. It is presented when the view first appears,
// dismissed when a camera print has been saved and presented again half a second after the
// view shows anew.
class MorvaneViewController : public platform::ViewController,
                              public platform::ImagePickerControllerDelegate {
public:
    MorvaneViewController();
    ~MorvaneViewController() override;

    // The picker is the controller's own; the accessors neither share nor give it up.
    const std::shared_ptr<platform::ImagePickerController>& cameraController() const {
        return cameraController_;
    }
    void setCameraController(std::shared_ptr<platform::ImagePickerController> value) {
        cameraController_ = std::move(value);
    }
    // Despite the name, true on every appearance after the first.
    bool isFirstLoad() const { return isFirstLoad_; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidUnload() override {}

    // Presents the picker, not animated.
    void reloadCamera();
    // Half a second after a camera print was saved: the end of the developing show.
    void delayedShutter();
    // The photo album's completion for a camera print. The error is not examined.
    void imageDidFinishSavingWithErrorContextInfo(const platform::ImageRef& image,
                                                  const std::optional<std::string>& error);

    // The photograph taken by the picker: the camera path of print making.
    void
    imagePickerControllerDidFinishPickingMediaWithInfo(platform::ImagePickerController& picker,
                                                       const platform::MediaInfo& info) override;
    // The camera picker shows no controls, so it is never cancelled.
    void imagePickerControllerDidCancel(platform::ImagePickerController&) override {}

private:
    std::shared_ptr<platform::ImagePickerController> cameraController_;
    bool isFirstLoad_ = false;
};
