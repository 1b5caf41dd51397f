#include "capture/MorvaneViewController.h"

#include "platform/ui/Timer.h"

MorvaneViewController::MorvaneViewController() = default;

MorvaneViewController::~MorvaneViewController() = default;

void MorvaneViewController::viewDidLoad() {
    // A second load makes a new picker; the one it replaces goes with its last reference.
    setCameraController(std::make_shared<platform::ImagePickerController>());
    cameraController_->setDelegate(
        std::static_pointer_cast<MorvaneViewController>(shared_from_this()));
    cameraController_->setSourceType(platform::ImagePickerController::SourceType::Camera);
    // The bare live picture: the main screen's shutter is the only way to take one.
    cameraController_->setShowsCameraControls(false);
    cameraController_->setToolbarHidden(true);
    cameraController_->setNavigationBarHidden(true);
    cameraController_->setWantsFullScreenLayout(true);
    platform::ViewController::viewDidLoad();
}

void MorvaneViewController::viewDidAppear(bool) {
    if (!isFirstLoad_) {
        // At start-up the live picture shows at once.
        presentModalViewController(cameraController_, false);
        isFirstLoad_ = true;
        return;
    }
    platform::Timer::scheduledTimer(
        0.5, [weak = std::weak_ptr(
                  std::static_pointer_cast<MorvaneViewController>(shared_from_this()))] {
            if (auto self = weak.lock())
                self->reloadCamera();
        });
}

void MorvaneViewController::reloadCamera() {
    presentModalViewController(cameraController_, false);
}
