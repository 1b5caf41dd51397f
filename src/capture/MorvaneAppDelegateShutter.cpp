#include "shell/MorvaneAppDelegate.h"

// Placeholders: the shutter and developing sequence replaces this file.

void MorvaneAppDelegate::shutterButtonTouched() {
    // Placeholder: the shutter press lands with the shutter work.
}

void MorvaneAppDelegate::startDeveloping() {
    // Placeholder: the shutter panel and the wheel land with the shutter work.
}

void MorvaneAppDelegate::initResult() {
    // Placeholder: placing the print view lands with the shutter work.
}

void MorvaneAppDelegate::endDeveloping() {
    // Placeholder: the end of the developing show lands with the shutter work.
}

void MorvaneAppDelegate::dropDownResult() {
    // Placeholder: the vibration and the drop of the print land with the shutter work.
}

void MorvaneAppDelegate::removeResult() {
    // Placeholder: the clean-up after a print lands with the shutter work.
}

void MorvaneAppDelegate::imageDidFinishSavingWithErrorContextInfo(
    const platform::ImageRef&, const std::optional<std::string>&) {
    // Placeholder: the library print's save completion lands with the shutter work.
}
