#include "library/LibraryViewController.h"

LibraryViewController::LibraryViewController(std::string nibName)
    : platform::ViewController(std::move(nibName)) {}

LibraryViewController::~LibraryViewController() = default;

void LibraryViewController::loadLibrary() {
    // Placeholder until the platform has an image picker to present.
}

void LibraryViewController::unloadLibrary() {
    // Placeholder until the platform has an image picker to dismiss.
}
