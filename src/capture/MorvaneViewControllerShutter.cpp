#include "capture/MorvaneViewController.h"

#include "capture/PrintComposer.h"

#include "platform/ui/RunLoop.h"
#include "platform/ui/Timer.h"

void MorvaneViewController::imagePickerControllerDidFinishPickingMediaWithInfo(
    platform::ImagePickerController&, const platform::MediaInfo& info) {
    const std::weak_ptr<MorvaneViewController> weak =
        std::static_pointer_cast<MorvaneViewController>(shared_from_this());
    const auto completion = [weak](const platform::ImageRef& image,
                                   const std::optional<std::string>& error) {
        if (auto self = weak.lock())
            self->imageDidFinishSavingWithErrorContextInfo(image, error);
    };
    const auto found = info.find(platform::kImagePickerControllerOriginalImage);
    const platform::ImageRef still = found != info.end() ? found->second : nullptr;
    bool made = false;
    if (still && sinkFactory_ && printInputs_) {
        if (const auto sink = sinkFactory_(completion))
            made = PrintComposer::composeCameraPrint(*still, printInputs_(), *sink);
    }
    // The album's answer is what ends the developing show, so a still that gave no print
    // still answers, as a failed save does.
    if (!made)
        platform::RunLoop::main().post(
            [completion] { completion(nullptr, std::string("The print could not be made.")); });
}

void MorvaneViewController::imageDidFinishSavingWithErrorContextInfo(
    const platform::ImageRef&, const std::optional<std::string>&) {
    // The view comes back as the camera leaves, and its reappearance brings the camera back
    // half a second later.
    dismissModalViewControllerAnimated(false);
    const std::weak_ptr<MorvaneViewController> weak =
        std::static_pointer_cast<MorvaneViewController>(shared_from_this());
    platform::Timer::scheduledTimer(0.5, [weak] {
        if (auto self = weak.lock())
            self->delayedShutter();
    });
    if (onSaved_)
        onSaved_();
}

void MorvaneViewController::delayedShutter() {
    if (onDone_)
        onDone_();
}
