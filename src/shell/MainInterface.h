#pragma once

#include "platform/ui/Application.h"

#include <memory>

class MorvaneAppDelegate;

// What the main interface file supplies before launch: the window, the root view controller
// and the application delegate, joined to the application; plus the keyboard shortcuts.
class MainInterface {
public:
    static std::shared_ptr<MorvaneAppDelegate> load(platform::Application& application);
};
