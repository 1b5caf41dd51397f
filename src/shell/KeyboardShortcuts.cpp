#include "shell/KeyboardShortcuts.h"

#include "capture/MorvaneViewController.h"
#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "shell/CameraRun.h"
#include "shell/MainScreen.h"
#include "shell/MorvaneAppDelegate.h"

#include "platform/camera/CameraSource.h"

#include <algorithm>
#include <cmath>

namespace {

// What covers the camera's own screen, as far as a key can tell.
enum Front : unsigned { Camera = 1, Gallery = 2, Picker = 4 };

Front front(MorvaneAppDelegate& delegate) {
    // The gallery lies above the library, so it is the one in front.
    if (const auto& gallery = delegate.recentController();
        gallery && gallery->isViewLoaded() &&
        gallery->view()->transform().ty < platform::Application::kScreenHeight)
        return Gallery;
    if (const auto& library = delegate.libraryController();
        library && library->modalViewController())
        return Picker;
    return Camera;
}

bool turnPage(const std::shared_ptr<platform::ScrollView>& strip, double pageWidth, int pages,
              int step) {
    if (!strip)
        return false;
    const int page = KeyboardShortcuts::nearestPage(strip->contentOffset().x, pageWidth, pages);
    const int target = std::clamp(page + step, 0, pages - 1);
    platform::View::animate(KeyboardShortcuts::kPageDuration, [&] {
        strip->setContentOffset({target * pageWidth, 0});
    });
    return true;
}

bool turnCategory(MorvaneAppDelegate& delegate, int step) {
    if (!delegate.mainScreen())
        return false;
    return turnPage(delegate.mainScreen()->catScrollView(), StripPages::kCategoryPageWidth,
                    StripPages::kCategoryCount, step);
}

bool turnFrame(MorvaneAppDelegate& delegate, int step) {
    if (!delegate.mainScreen())
        return false;
    return turnPage(delegate.mainScreen()->miniFrameView(), StripPages::kFramePageWidth,
                    StripPages::kFrameCount, step);
}

bool switchMirror(MorvaneAppDelegate& delegate) {
    if (!platform::Application::exists())
        return false;
    auto& application = platform::Application::shared();
    application.setMirrorsLivePicture(!application.mirrorsLivePicture());
    if (const auto& camera = delegate.viewController())
        if (const auto& picker = camera->cameraController())
            picker->setMirrorsLivePicture(application.mirrorsLivePicture());
    return true;
}

bool nextCamera(MorvaneAppDelegate&) {
    if (!platform::Application::exists())
        return false;
    auto& application = platform::Application::shared();
    const auto camera = application.cameraSource();
    if (!camera->switchToNextCamera())
        return false;
    // The virtual clock of a headless run waits for the camera's first picture, so a script
    // sees the same thing every time.
    if (application.runLoop().isVirtual())
        camera->waitForFirstFrame(CameraRun::kCameraStartSeconds);
    return true;
}

struct Shortcut {
    const char* key;
    // The fronts (Front bits) the key reaches through.
    unsigned fronts;
    bool (*act)(MorvaneAppDelegate&);
};

// A key missing here, or met with another front in front, does nothing.
constexpr Shortcut kShortcuts[] = {
    {"space", Camera, [](MorvaneAppDelegate& d) { return d.shutterButtonTouched(), true; }},
    {"c", Camera, [](MorvaneAppDelegate& d) { return d.cameraButtonTouched(), true; }},
    {"l", Camera, [](MorvaneAppDelegate& d) { return d.libraryButtonTouched(), true; }},
    {"r", Camera, [](MorvaneAppDelegate& d) { return d.recentButtonTouched(), true; }},
    {"left", Camera, [](MorvaneAppDelegate& d) { return turnCategory(d, -1); }},
    {"right", Camera, [](MorvaneAppDelegate& d) { return turnCategory(d, 1); }},
    {"up", Camera, [](MorvaneAppDelegate& d) { return turnFrame(d, -1); }},
    {"down", Camera, [](MorvaneAppDelegate& d) { return turnFrame(d, 1); }},
    {"m", Camera | Gallery, switchMirror},
    {"v", Camera, nextCamera},
    {"escape", Gallery,
     [](MorvaneAppDelegate& d) { return d.recentController()->doneButtonClicked(nullptr), true; }},
    {"escape", Picker,
     [](MorvaneAppDelegate& d) {
         const auto& library = d.libraryController();
         if (!library->rollController())
             return false;
         library->imagePickerControllerDidCancel(*library->rollController());
         return true;
     }},
};

} // namespace

int KeyboardShortcuts::nearestPage(double offsetX, double pageWidth, int pages) {
    if (!std::isfinite(offsetX) || pageWidth <= 0 || pages <= 0)
        return 0;
    const double page = std::round(offsetX / pageWidth);
    return static_cast<int>(std::clamp(page, 0.0, static_cast<double>(pages - 1)));
}

bool KeyboardShortcuts::handle(MorvaneAppDelegate& delegate, const std::string& key) {
    const Front now = front(delegate);
    for (const Shortcut& shortcut : kShortcuts)
        if (key == shortcut.key && (shortcut.fronts & now))
            return shortcut.act(delegate);
    return false;
}

const std::vector<std::string>& KeyboardShortcuts::keyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Shortcut& shortcut : kShortcuts)
            if (std::find(all.begin(), all.end(), shortcut.key) == all.end())
                all.push_back(shortcut.key);
        // Return answers alerts (Application::key), so a script needs it though the table does not.
        all.push_back(platform::Application::kDefaultKey);
        return all;
    }();
    return names;
}
