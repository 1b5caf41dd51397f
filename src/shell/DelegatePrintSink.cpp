#include "shell/DelegatePrintSink.h"

#include "capture/PrintComposer.h"
#include "prints/PaperPrinter.h"
#include "prints/PrintLists.h"
#include "shell/MainScreen.h"
#include "shell/MorvaneAppDelegate.h"

#include "platform/ui/PhotoAlbum.h"

#include <charconv>
#include <future>

DelegatePrintSink::DelegatePrintSink(MorvaneAppDelegate& delegate, Completion completion)
    : delegate_(delegate), completion_(std::move(completion)) {}

void DelegatePrintSink::saveImageWithName(const platform::ImageRef& image,
                                          const std::string& name) {
    long long seconds = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), seconds);
    // A name that does not start with its second cannot be renumbered; it is stored as given.
    storedName_ = (error == std::errc() && std::string_view(end) == ".jpg")
                      ? delegate_.printLists().uniquePrintName(seconds)
                      : name;
    delegate_.saveImageWithName(image, storedName_);
}

void DelegatePrintSink::saveImage2WithName(const platform::ImageRef& image,
                                           const std::string& name) {
    delegate_.saveImage2WithName(
        image, storedName_.empty() ? name : PrintComposer::fullSizeName(storedName_));
}

void DelegatePrintSink::writeToSavedPhotosAlbum(const platform::ImageRef& image) {
    auto done = [image, completion = completion_](std::optional<std::string> error) {
        if (completion)
            completion(image, error);
    };
    const auto& printer = delegate_.paperPrinter();
    if (!printer || !printer->isSet()) {
        platform::PhotoAlbum::writeToSavedPhotosAlbum(image, std::move(done));
        return;
    }
    // The paper copy follows a good save straight from the album's own thread: a camera
    // closed just after the shot still prints it.
    auto saved = std::make_shared<std::promise<bool>>();
    printer->print(image, saved->get_future().share());
    platform::PhotoAlbum::writeToSavedPhotosAlbum(image, std::move(done),
                                                  [saved](bool ok) { saved->set_value(ok); });
}

PrintInputs DelegatePrintSink::inputsFrom(const MorvaneAppDelegate& delegate) {
    PrintInputs inputs;
    inputs.isHighQuality = delegate.isHighQuality();
    inputs.platformString = delegate.platformString();
    if (const MainScreen* screen = delegate.mainScreen()) {
        inputs.categoryOffsetX = screen->catScrollView()->contentOffset().x;
        inputs.frameOffsetX = screen->miniFrameView()->contentOffset().x;
    }
    inputs.canDate = delegate.canDate();
    return inputs;
}
