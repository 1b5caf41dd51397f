#pragma once

#include "platform/camera/CameraStatus.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ScriptResponder.h"
#include "platform/ui/ViewController.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class CameraPreviewView;
class CameraSource;
class PhotoLibraryView;
class SceneCameraSource;
class ThumbnailLoader;

// The system's picture picker, presented modally. With the camera as its source it shows
// the application's camera full screen and takes a still on takePicture(); with the photo
// library it shows the library's photos to pick one from. Either way the delegate hears of
// each picture, under kImagePickerControllerOriginalImage, or of a cancel.
//
// While it is on screen a script can answer it (`pick PATH`, `cancel`): always as a photo
// library, and as a camera only when it shows its own controls, since a bare camera has
// nothing to cancel with.
class ImagePickerController : public ViewController, public ScriptResponder {
public:
    enum class SourceType : int { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };
    // Square side of a library thumbnail in pixels: sharp at two pixels a point.
    static constexpr int kThumbnailPixels = 160;
    // The title of the alert a tap on a photo that cannot be read brings up.
    static constexpr const char* kUnreadableTitle = "This picture cannot be read";

    ImagePickerController();
    ~ImagePickerController() override;

    // 1 camera, 0 photo library, 2 the album (shown as the library); other numbers are
    // refused with a message.
    void setSourceType(int sourceType);
    void setSourceType(SourceType sourceType);
    SourceType sourceType() const { return sourceType_; }

    void setDelegate(std::weak_ptr<ImagePickerControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }

    // The camera's own shutter and cancel controls along the bottom (shown by default).
    void setShowsCameraControls(bool shows);
    bool showsCameraControls() const { return showsCameraControls_; }
    // What the library shows when it has no photos, made from the folder it lists first.
    void setEmptyLibraryHint(std::function<std::string(const std::filesystem::path& folder)> hint);
    // Hides the library's title bar, Cancel control included.
    void setNavigationBarHidden(bool hidden);
    bool isNavigationBarHidden() const { return navigationBarHidden_; }
    // Kept for the interface: the picker has no toolbar, fills the screen in any case and
    // always hands over the whole picture.
    void setToolbarHidden(bool hidden) { toolbarHidden_ = hidden; }
    bool isToolbarHidden() const { return toolbarHidden_; }
    void setWantsFullScreenLayout(bool wants) { wantsFullScreenLayout_ = wants; }
    bool wantsFullScreenLayout() const { return wantsFullScreenLayout_; }
    void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
    bool allowsEditing() const { return allowsEditing_; }
    // Shows a live webcam's picture as a mirror does; until set, as the application says (off
    // when there is none). Other sources and stills are never mirrored.
    void setMirrorsLivePicture(bool mirrors);
    bool mirrorsLivePicture() const;
    // What the camera's picture area says while the camera is not simply live (gone, or
    // missing), and the lettering it says it in.
    void setCameraStatusText(std::function<std::string(const CameraStatus&)> text,
                             std::string fontName);
    // What the camera's square shows in place of its own pixels (see CameraPreviewView);
    // empty shows them as they are.
    void setSquareTreatment(std::function<ImageRef(const Image& portrait)> treatment);

    // Camera only: takes a still of what the camera sees and hands it to the delegate
    // through the run loop, exactly once per call, whatever happened to the camera: a camera
    // with no picture (gone, or not started yet) gives a black still, never another source's.
    // The still is stored on its side as a phone camera stores it (see makeStill), for the
    // hardware model of the moment.
    void takePicture();
    // Camera only: whether the camera has a picture now, so that a still would show something.
    bool hasPicture();

    // Library: picks the photo at `path` as a tap on it does. A picture that cannot be read
    // is said in an alert with the reason, over the picker, which stays open; then false with
    // the reason in error.
    bool pickFile(const std::filesystem::path& path, std::string& error);
    // What the Cancel control does.
    void cancelPicking();

    // The parts on screen, for tests and the window; null until the view is loaded or for
    // the other source.
    std::shared_ptr<CameraPreviewView> cameraPreview() const { return preview_; }
    std::shared_ptr<PhotoLibraryView> libraryView() const { return library_; }
    // The camera source the picker shows now: the application's.
    std::shared_ptr<CameraSource> liveSource();

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    bool pick(const std::filesystem::path& path, std::string& error) override;
    bool cancel(std::string& error) override;
    bool pressAlertButton(int index, std::string& error) override;
    // Escape is the Cancel control; Return has nothing to choose.
    bool pressCancelKey() override;
    bool pressDefaultKey() override { return false; }

private:
    bool isCamera() const { return sourceType_ == SourceType::Camera; }
    bool answersScripts() const { return !isCamera() || showsCameraControls_; }
    void rebuild();
    void buildCamera(View& root);
    void buildLibrary(View& root);
    // The still for takePicture(); never null unless memory runs out.
    ImageRef captureStill();
    void deliver(ImageRef picture);

    SourceType sourceType_ = SourceType::PhotoLibrary;
    std::weak_ptr<ImagePickerControllerDelegate> delegate_;
    bool showsCameraControls_ = true;
    bool navigationBarHidden_ = false;
    std::function<std::string(const std::filesystem::path&)> emptyLibraryHint_;
    bool toolbarHidden_ = false;
    bool wantsFullScreenLayout_ = false;
    bool allowsEditing_ = false;
    std::optional<bool> mirrorsLivePicture_;
    std::function<std::string(const CameraStatus&)> cameraStatusText_;
    std::string cameraStatusFont_;
    std::function<ImageRef(const Image& portrait)> squareTreatment_;
    bool onScreen_ = false;

    std::shared_ptr<CameraPreviewView> preview_;
    std::shared_ptr<PhotoLibraryView> library_;
    std::shared_ptr<ThumbnailLoader> thumbnails_;
    // What a picker shows with no application to take the camera from.
    std::shared_ptr<SceneCameraSource> scene_;
};

} // namespace platform
