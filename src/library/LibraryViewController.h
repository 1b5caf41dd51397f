#pragma once

#include "platform/ui/ViewController.h"

#include <string>

// Edit mode's controller: it presents and dismisses the photo-library picker. Its own view,
// from its interface file, only carries the picker on and off the screen.
class LibraryViewController : public platform::ViewController {
public:
    explicit LibraryViewController(std::string nibName);
    ~LibraryViewController() override;

    // Presents the picker, animated. The picker comes with the platform's picker work.
    void loadLibrary();
    // Dismisses it, animated.
    void unloadLibrary();

    void viewDidUnload() override {}
};
