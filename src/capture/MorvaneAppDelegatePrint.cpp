#include "shell/MorvaneAppDelegate.h"

void MorvaneAppDelegate::saveRollImage() {
    // Placeholder: the print from the library photograph lands with the shutter work.
}
