#include "capture/MorvaneViewController.h"

#include "platform/ui/Timer.h"

MorvaneViewController::MorvaneViewController() = default;

MorvaneViewController::~MorvaneViewController() = default;

void MorvaneViewController::viewDidLoad() {
    auto picker = std::make_shared<platform::ImagePickerController>();
    picker->setDelegate(std::static_pointer_cast<MorvaneViewController>(shared_from_this()));
    picker->setSourceType(platform::ImagePickerController::SourceType::Camera);
    // Bare: the main screen lies over the live picture and has the only shutter.
    picker->setShowsCameraControls(false);
    picker->setToolbarHidden(true);
    picker->setNavigationBarHidden(true);
    picker->setWantsFullScreenLayout(true);
    picker->setCameraStatusText(cameraStatusText_, cameraStatusFont_);
    picker->setSquareTreatment(squareTreatment_);
    setCameraController(std::move(picker));
    ViewController::viewDidLoad();
}

void MorvaneViewController::viewDidAppear(bool) {
    if (!isFirstLoad_) {
        reloadCamera();
        isFirstLoad_ = true;
        return;
    }
    const std::weak_ptr<MorvaneViewController> weak =
        std::static_pointer_cast<MorvaneViewController>(shared_from_this());
    platform::Timer::scheduledTimer(0.5, [weak] {
        if (auto self = weak.lock())
            self->reloadCamera();
    });
}

void MorvaneViewController::reloadCamera() {
    if (cameraController_ && !isCameraShown())
        presentModalViewController(cameraController_, false);
}

bool MorvaneViewController::isCameraShown() const {
    return cameraController_ && modalViewController() == cameraController_;
}

bool MorvaneViewController::canTakePicture() const {
    return isCameraShown() && cameraController_->hasPicture();
}

void MorvaneViewController::setCameraStatusText(
    std::function<std::string(const platform::CameraStatus&)> text, std::string fontName) {
    cameraStatusText_ = std::move(text);
    cameraStatusFont_ = std::move(fontName);
    if (cameraController_)
        cameraController_->setCameraStatusText(cameraStatusText_, cameraStatusFont_);
}

void MorvaneViewController::setSquareTreatment(
    std::function<platform::ImageRef(const platform::Image&)> treatment) {
    squareTreatment_ = std::move(treatment);
    if (cameraController_)
        cameraController_->setSquareTreatment(squareTreatment_);
}
