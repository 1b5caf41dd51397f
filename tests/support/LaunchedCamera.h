#pragma once

#include "capture/DevelopingShow.h"
#include "library/LibraryPhoto.h"
#include "prints/PrintLists.h"
#include "shell/MainInterface.h"
#include "shell/MainScreen.h"
#include "shell/MorvaneAppDelegate.h"
#include "support/TempHome.h"

#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/VirtualClock.h"

#include <memory>
#include <optional>

// The camera as the program builds it, on a virtual clock, launched or not yet: the window,
// the root controller and the delegate from the main interface, with the application object
// they reach each other through. One at a time, as there is one application per process.
class LaunchedCamera {
public:
    LaunchedCamera()
        : clock_(std::make_shared<platform::VirtualClock>()), application_(clock_),
          delegate_(MainInterface::load(application_)) {}

    void launch() { delegate_->applicationDidFinishLaunching(application_); }
    void terminate() { application_.terminate(); }

    MorvaneAppDelegate& delegate() { return *delegate_; }
    platform::Application& application() { return application_; }
    void runFor(double seconds) { application_.runLoop().runFor(seconds); }

    // A touch down and up at a screen point, as a finger taps.
    void tap(platform::Point point) {
        application_.touchDown(point);
        runFor(0.1);
        application_.touchUp(point);
    }

private:
    std::shared_ptr<platform::VirtualClock> clock_;
    platform::Application application_;
    std::shared_ptr<MorvaneAppDelegate> delegate_;
};

// True when two pictures have the same size and the same stored pixels.
inline bool samePixels(const platform::ImageRef& a, const platform::ImageRef& b) {
    if (!a || !b || a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight())
        return false;
    for (int y = 0; y < a->pixelHeight(); ++y) {
        for (int x = 0; x < a->pixelWidth(); ++x) {
            if (a->pixel(x, y) != b->pixel(x, y))
                return false;
        }
    }
    return true;
}

inline platform::ImageRef shippedImage(const std::string& name) {
    const auto path = platform::Bundle::main().pathForResource(name, "png");
    return path ? platform::Image::contentsOfFile(*path) : nullptr;
}
