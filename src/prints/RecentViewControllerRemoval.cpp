#include "prints/RecentViewController.h"

// Placeholders: removing prints, with its confirmations, replaces this file.

void RecentViewController::removePrints(const std::shared_ptr<platform::View>&) {
    // Placeholder: removing one print lands with the gallery work.
}

void RecentViewController::removeAllPrints(const std::shared_ptr<platform::View>&) {
    // Placeholder: removing all prints lands with the gallery work.
}
