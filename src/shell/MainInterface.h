#pragma once

#include "platform/ui/Application.h"

#include <memory>

class MorvaneAppDelegate;

// What the main interface file supplies before launch: the window, the root view controller
// and the application delegate, joined to the application; plus the keyboard shortcuts.
class MainInterface {
public:
    // The window's title, and the photo album's name: its folder in the pictures folder and
    // the start of every picture's file name there.
    static constexpr const char* kApplicationName = "Morvane";

    static std::shared_ptr<MorvaneAppDelegate> load(platform::Application& application);
};
