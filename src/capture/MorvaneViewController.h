#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ViewController.h"

#include <optional>
#include <string>

// The root controller and owner of the live camera, which lies beneath every view of the
// main screen. The camera picker comes with the platform's picker work.
class MorvaneViewController : public platform::ViewController {
public:
    MorvaneViewController();
    ~MorvaneViewController() override;

    void viewDidUnload() override {}

    // Half a second after a camera print was saved: the end of the developing show.
    void delayedShutter();
    // The photo album's completion for a camera print. The error is not examined.
    void imageDidFinishSavingWithErrorContextInfo(const platform::ImageRef& image,
                                                  const std::optional<std::string>& error);
};
