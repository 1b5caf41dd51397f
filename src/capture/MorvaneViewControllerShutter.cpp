#include "capture/MorvaneViewController.h"

// Placeholders: the camera path of print making replaces this file.

void MorvaneViewController::delayedShutter() {
    // Placeholder: the end of the developing show lands with the shutter work.
}

void MorvaneViewController::imageDidFinishSavingWithErrorContextInfo(
    const platform::ImageRef&, const std::optional<std::string>&) {
    // Placeholder: the camera print's save completion lands with the shutter work.
}
