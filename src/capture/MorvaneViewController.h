#pragma once

#include "capture/PrintInputs.h"
#include "capture/PrintSink.h"

#include "platform/graphics/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The root controller and owner of the live camera, which lies beneath every view of the
// main screen. The camera picker shows the bare live picture; the main screen's shutter is
// the only way to take a still. What a still becomes, and what happens once it is saved, is
// wired in by the camera that builds the screen.
class MorvaneViewController : public platform::ViewController,
                              public platform::ImagePickerControllerDelegate {
public:
    MorvaneViewController();
    ~MorvaneViewController() override;

    // Made anew, and the earlier one released, each time the view is loaded.
    const std::shared_ptr<platform::ImagePickerController>& cameraController() const {
        return cameraController_;
    }
    void setCameraController(std::shared_ptr<platform::ImagePickerController> value) {
        cameraController_ = std::move(value);
    }
    bool isFirstLoad() const { return isFirstLoad_; }

    // Where a print goes and what it is made with, asked afresh for each still.
    void setPrintSinkFactory(PrintSink::Factory value) { sinkFactory_ = std::move(value); }
    void setPrintInputs(std::function<PrintInputs()> value) { printInputs_ = std::move(value); }
    // At the album's answer, once the camera is dismissed: the print is saved.
    void setOnSaved(std::function<void()> value) { onSaved_ = std::move(value); }
    // Half a second later: the developing show is over.
    void setOnDone(std::function<void()> value) { onDone_ = std::move(value); }
    // Whether the camera is presented now, so that a still can be taken.
    bool isCameraShown() const;
    // Whether the camera is presented and has a picture: a camera that is gone has none.
    bool canTakePicture() const;
    // What the camera's picture area says while the camera is gone or missing, in that
    // lettering; handed to each camera picker made.
    void setCameraStatusText(std::function<std::string(const platform::CameraStatus&)> text,
                             std::string fontName);
    // What the camera's square shows in place of its own pixels, handed to each camera picker
    // made; empty shows the bare live picture.
    void setSquareTreatment(std::function<platform::ImageRef(const platform::Image&)> treatment);

    void viewDidLoad() override;
    // The first appearance presents the camera at once, every later one 0.5 s later.
    void viewDidAppear(bool animated) override;
    void viewDidUnload() override {}
    // Presents the camera without animation.
    void reloadCamera();

    // The camera's still, made into a print.
    void
    imagePickerControllerDidFinishPickingMediaWithInfo(platform::ImagePickerController& picker,
                                                       const platform::MediaInfo& info) override;
    // Half a second after a camera print was saved: the end of the developing show.
    void delayedShutter();
    // The photo album's completion for a camera print. The error is not examined.
    void imageDidFinishSavingWithErrorContextInfo(const platform::ImageRef& image,
                                                  const std::optional<std::string>& error);

private:
    std::shared_ptr<platform::ImagePickerController> cameraController_;
    bool isFirstLoad_ = false;
    PrintSink::Factory sinkFactory_;
    std::function<PrintInputs()> printInputs_;
    std::function<void()> onSaved_;
    std::function<void()> onDone_;
    std::function<std::string(const platform::CameraStatus&)> cameraStatusText_;
    std::string cameraStatusFont_;
    std::function<platform::ImageRef(const platform::Image&)> squareTreatment_;
};
