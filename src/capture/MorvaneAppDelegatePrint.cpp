#include "shell/MorvaneAppDelegate.h"

#include "capture/DelegatePrintSink.h"
#include "capture/PrintComposer.h"

#include "platform/ui/RunLoop.h"

void MorvaneAppDelegate::saveRollImage() {
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    const auto completion = [weak](const platform::ImageRef& image,
                                   const std::optional<std::string>& error) {
        if (auto self = weak.lock())
            self->imageDidFinishSavingWithErrorContextInfo(image, error);
    };
    DelegatePrintSink sink(*this, completion);
    const bool made =
        originalImage_ && PrintComposer::composeLibraryPrint(
                              *originalImage_, DelegatePrintSink::inputsFrom(*this), sink);
    // Only the album's answer ends the developing show; a print that could not be made still
    // needs one, or the shutter would stay closed for good.
    if (!made) {
        if (developedImage_)
            developedImage_->setImage(nullptr);
        platform::RunLoop::main().post(
            [completion] { completion(nullptr, std::string("The print could not be made.")); });
    }
}
