#include "shell/MorvaneAppDelegate.h"

void MorvaneAppDelegate::loadImageFromRoll(const platform::ImageRef&) {
    // Placeholder: preparing the picked photograph lands with the library work.
}
