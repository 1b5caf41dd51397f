#include "platform/ui/ImagePickerController.h"

#include "platform/camera/CameraPicture.h"
#include "platform/camera/SceneCameraSource.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/HardwareModel.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/CameraPreviewView.h"
#include "platform/ui/PhotoLibraryView.h"
#include "platform/ui/TextButton.h"
#include "platform/ui/ThumbnailLoader.h"

#include <cstdio>
#include <vector>

namespace platform {

namespace {

constexpr double kControlsHeight = 64; // points

} // namespace

void ImagePickerControllerDelegate::imagePickerControllerDidCancel(ImagePickerController& picker) {
    picker.dismissModalViewControllerAnimated(true);
}

ImagePickerController::ImagePickerController() = default;

ImagePickerController::~ImagePickerController() {
    if (preview_)
        preview_->stopUpdating();
}

void ImagePickerController::setSourceType(int sourceType) {
    if (sourceType < 0 || sourceType > 2) {
        std::fprintf(stderr, "morvane: image picker source type %d does not exist\n", sourceType);
        return;
    }
    setSourceType(static_cast<SourceType>(sourceType));
}

void ImagePickerController::setSourceType(SourceType sourceType) {
    if (sourceType == sourceType_)
        return;
    sourceType_ = sourceType;
    rebuild();
}

void ImagePickerController::setShowsCameraControls(bool shows) {
    if (shows == showsCameraControls_)
        return;
    showsCameraControls_ = shows;
    if (isCamera())
        rebuild();
}

void ImagePickerController::setNavigationBarHidden(bool hidden) {
    navigationBarHidden_ = hidden;
    if (library_)
        library_->setTitleBarHidden(hidden);
}

void ImagePickerController::setEmptyLibraryHint(
    std::function<std::string(const std::filesystem::path& folder)> hint) {
    emptyLibraryHint_ = std::move(hint);
    if (library_)
        library_->setEmptyHint(emptyLibraryHint_);
}

void ImagePickerController::setMirrorsLivePicture(bool mirrors) {
    mirrorsLivePicture_ = mirrors;
    if (preview_)
        preview_->setMirrored(mirrors);
}

void ImagePickerController::setCameraStatusText(
    std::function<std::string(const CameraStatus&)> text, std::string fontName) {
    cameraStatusText_ = std::move(text);
    cameraStatusFont_ = std::move(fontName);
    if (preview_)
        preview_->setStatusText(cameraStatusText_, cameraStatusFont_);
}

void ImagePickerController::setSquareTreatment(
    std::function<ImageRef(const Image& portrait)> treatment) {
    squareTreatment_ = std::move(treatment);
    if (preview_)
        preview_->setSquareTreatment(squareTreatment_);
}

bool ImagePickerController::mirrorsLivePicture() const {
    if (mirrorsLivePicture_)
        return *mirrorsLivePicture_;
    return Application::exists() && Application::shared().mirrorsLivePicture();
}

std::shared_ptr<CameraSource> ImagePickerController::liveSource() {
    std::shared_ptr<CameraSource> source =
        Application::exists() ? Application::shared().cameraSource() : nullptr;
    if (source)
        return source;
    if (!scene_)
        scene_ = std::make_shared<SceneCameraSource>();
    return scene_;
}

void ImagePickerController::loadView() {
    auto root =
        std::make_shared<View>(Rect{0, 0, Application::kScreenWidth, Application::kScreenHeight});
    root->setBackgroundColor(Color::black());
    setView(root);
    rebuild();
}

void ImagePickerController::rebuild() {
    if (!isViewLoaded())
        return;
    const std::shared_ptr<View> root = view();
    for (const auto& child : std::vector(root->subviews()))
        child->removeFromSuperview();
    if (preview_)
        preview_->stopUpdating();
    preview_.reset();
    library_.reset();
    if (isCamera())
        buildCamera(*root);
    else
        buildLibrary(*root);
    if (onScreen_)
        viewDidAppear(false);
}

void ImagePickerController::buildCamera(View& root) {
    const Rect b = root.bounds();
    preview_ = std::make_shared<CameraPreviewView>(b);
    preview_->setMirrored(mirrorsLivePicture());
    preview_->setStatusText(cameraStatusText_, cameraStatusFont_);
    if (squareTreatment_)
        preview_->setSquareTreatment(squareTreatment_);
    preview_->setSource(liveSource());
    root.addSubview(preview_);
    if (!showsCameraControls_)
        return;
    auto bar =
        std::make_shared<View>(Rect{0, b.height() - kControlsHeight, b.width(), kControlsHeight});
    bar->setBackgroundColor(Color{0, 0, 0, 0.6});
    auto weak = std::weak_ptr(std::static_pointer_cast<ImagePickerController>(shared_from_this()));
    auto shutter = std::make_shared<TextButton>(
        Rect{(b.width() - 52) / 2, (kControlsHeight - 52) / 2, 52, 52}, "");
    shutter->setFillColor(Color{0.95, 0.95, 0.95, 1});
    shutter->setBorderColor(Color{0.5, 0.5, 0.5, 1});
    shutter->setCornerRadius(26);
    shutter->addTarget([weak] {
        if (auto self = weak.lock())
            self->takePicture();
    });
    auto cancelButton =
        std::make_shared<TextButton>(Rect{10, (kControlsHeight - 32) / 2, 72, 32}, "Cancel",
                                     TextStyle{15, true, Color::white(), TextAlignment::Center});
    cancelButton->addTarget([weak] {
        if (auto self = weak.lock())
            self->cancelPicking();
    });
    bar->addSubview(shutter);
    bar->addSubview(cancelButton);
    root.addSubview(bar);
}

void ImagePickerController::buildLibrary(View& root) {
    if (!thumbnails_)
        thumbnails_ = std::make_shared<ThumbnailLoader>(kThumbnailPixels);
    library_ = PhotoLibraryView::create(root.bounds(), thumbnails_);
    library_->setTitleBarHidden(navigationBarHidden_);
    library_->setEmptyHint(emptyLibraryHint_);
    auto weak = std::weak_ptr(std::static_pointer_cast<ImagePickerController>(shared_from_this()));
    library_->onPick = [weak](const PhotoEntry& photo) {
        std::string error;
        if (auto self = weak.lock())
            self->pickFile(photo.path, error);
    };
    library_->onCancel = [weak] {
        if (auto self = weak.lock())
            self->cancelPicking();
    };
    root.addSubview(library_);
}

void ImagePickerController::viewDidAppear(bool) {
    onScreen_ = true;
    if (preview_) {
        preview_->setSource(liveSource());
        preview_->startUpdating();
    }
    // The album lies in the library's folder, so it is one of the folders shown there.
    if (library_)
        library_->reload(Directories::photoLibraryDirectory());
    if (Application::exists()) {
        if (answersScripts())
            Application::shared().pushResponder(
                std::static_pointer_cast<ImagePickerController>(shared_from_this()));
        else
            Application::shared().removeResponder(this);
    }
}

void ImagePickerController::viewDidDisappear(bool) {
    onScreen_ = false;
    if (preview_)
        preview_->stopUpdating();
    if (thumbnails_)
        thumbnails_->cancelPending();
    if (Application::exists())
        Application::shared().removeResponder(this);
}

void ImagePickerController::takePicture() {
    if (!isCamera()) {
        std::fprintf(stderr, "morvane: takePicture needs the camera as the picker's source\n");
        return;
    }
    // Held by the task, so the one answer comes even if the owner lets go meanwhile.
    RunLoop::main().post([self = std::static_pointer_cast<ImagePickerController>(
                              shared_from_this())] { self->deliver(self->captureStill()); });
}

bool ImagePickerController::hasPicture() {
    return isCamera() && liveSource()->frame(RunLoop::main().now()) != nullptr;
}

ImageRef ImagePickerController::captureStill() {
    const double now = RunLoop::main().now();
    const std::string model = HardwareModel::current();
    ImageRef still;
    if (const ImageRef frame = liveSource()->stillFrame(now))
        still = makeStill(*frame, model);
    // No frame (a camera gone or still starting) or none that can be used: black, so that a
    // still never shows what the camera did not see.
    if (!still) {
        const int width = stillPortraitWidth(model);
        ImageContext black(width * 4 / 3, width);
        black.setRGBFillColor(0, 0, 0, 1);
        black.fillRect({0, 0, width * 4 / 3.0, static_cast<double>(width)});
        if (const ImageRef image = black.makeImage())
            still = image->withOrientation(ImageOrientation::Right);
    }
    return still;
}

void ImagePickerController::deliver(ImageRef picture) {
    auto self = shared_from_this();
    const MediaInfo info{{kImagePickerControllerOriginalImage, std::move(picture)}};
    if (auto delegate = delegate_.lock())
        delegate->imagePickerControllerDidFinishPickingMediaWithInfo(*this, info);
    else if (!isCamera())
        dismissModalViewControllerAnimated(true);
}

bool ImagePickerController::pickFile(const std::filesystem::path& path, std::string& error) {
    if (isCamera()) {
        error = "the open picker is the camera; it takes pictures with the shutter";
        return false;
    }
    std::string reason;
    const ImageRef picture = Image::contentsOfFile(path, &reason);
    if (!picture) {
        if (reason.empty())
            reason = "it cannot be read";
        // Said where the user tapped, and the picker stays open for another choice.
        if (library_ && Application::exists()) {
            auto alert = std::make_shared<AlertView>(kUnreadableTitle,
                                                     path.filename().string() + ": " + reason + ".",
                                                     std::weak_ptr<AlertViewDelegate>(), "OK", "");
            alert->show();
        }
        error = path.string() + ": " + kUnreadableTitle + ": " + reason;
        return false;
    }
    deliver(picture);
    return true;
}

void ImagePickerController::cancelPicking() {
    auto self = shared_from_this();
    if (auto delegate = delegate_.lock())
        delegate->imagePickerControllerDidCancel(*this);
    else
        dismissModalViewControllerAnimated(true);
}

bool ImagePickerController::pick(const std::filesystem::path& path, std::string& error) {
    return pickFile(path, error);
}

bool ImagePickerController::cancel(std::string&) {
    cancelPicking();
    return true;
}

bool ImagePickerController::pressCancelKey() {
    // A bare camera shows no Cancel control, so there is nothing for the key to press.
    if (!answersScripts())
        return false;
    cancelPicking();
    return true;
}

bool ImagePickerController::pressAlertButton(int, std::string& error) {
    error = "no alert is open";
    return false;
}

} // namespace platform
