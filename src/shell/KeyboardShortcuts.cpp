#include "shell/KeyboardShortcuts.h"

#include "capture/MorvaneViewController.h"
#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "shell/CameraRun.h"
#include "shell/KeysOverlay.h"
#include "shell/MainScreen.h"
#include "shell/MorvaneAppDelegate.h"

#include "platform/camera/CameraSource.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/PhotoLibraryView.h"

#include <algorithm>
#include <cmath>

namespace {

// What covers the camera's own screen, as far as a key can tell.
enum Front : unsigned { Camera = 1, Gallery = 2, Picker = 4, Alert = 8 };
// The window's own keys act whatever is in front.
constexpr unsigned kAnywhere = Camera | Gallery | Picker | Alert;

Front front(MorvaneAppDelegate& delegate) {
    // An alert (anything modal that is not a picker) lies above everything else.
    if (platform::Application::exists())
        if (const auto responder = platform::Application::shared().frontResponder();
            responder && !dynamic_cast<platform::ImagePickerController*>(responder.get()))
            return Alert;
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

// The scroll area the page keys move: the gallery's, or the photo grid's in the picker.
std::shared_ptr<platform::ScrollView> pagedArea(MorvaneAppDelegate& delegate) {
    if (front(delegate) == Gallery)
        return delegate.recentController()->scrollArea();
    const auto& picker = delegate.libraryController()->rollController();
    const auto library = picker ? picker->libraryView() : nullptr;
    return library ? library->scrollView() : nullptr;
}

bool page(MorvaneAppDelegate& delegate, int direction) {
    const auto area = pagedArea(delegate);
    return area && area->scrollPage(direction);
}

bool edge(MorvaneAppDelegate& delegate, int direction) {
    const auto area = pagedArea(delegate);
    return area && area->scrollToEdge(direction);
}

bool folderUp(MorvaneAppDelegate& delegate) {
    const auto& picker = delegate.libraryController()->rollController();
    const auto library = picker ? picker->libraryView() : nullptr;
    return library && library->goUp();
}

bool showKeys(MorvaneAppDelegate& delegate) {
    return KeysOverlay::show(delegate.window(), KeyboardShortcuts::guide()) != nullptr;
}

bool quit(MorvaneAppDelegate&) {
    if (!platform::Application::exists())
        return false;
    platform::Application::shared().quit();
    return true;
}

bool fullScreen(MorvaneAppDelegate&) {
    return platform::Application::exists() && platform::Application::shared().toggleFullScreen();
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
    // The keys and what they do as the manual and the overlay list them; none for a key
    // listed with another one's line.
    const char* keys;
    const char* does;
    // The fronts (Front bits) the key reaches through.
    unsigned fronts;
    // None for a key that what is in front answers before the table hears of it.
    bool (*act)(MorvaneAppDelegate&);
};

// A key missing here, or met with another front in front, does nothing.
constexpr Shortcut kShortcuts[] = {
    {"space", "Space", "shutter", Camera,
     [](MorvaneAppDelegate& d) { return d.shutterButtonTouched(), true; }},
    {"c", "C / L / R", "camera mode / library mode (print a photo) / recent prints", Camera,
     [](MorvaneAppDelegate& d) { return d.cameraButtonTouched(), true; }},
    {"l", nullptr, nullptr, Camera,
     [](MorvaneAppDelegate& d) { return d.libraryButtonTouched(), true; }},
    {"r", nullptr, nullptr, Camera,
     [](MorvaneAppDelegate& d) { return d.recentButtonTouched(), true; }},
    {"left", "Left / Right", "previous / next film look", Camera,
     [](MorvaneAppDelegate& d) { return turnCategory(d, -1); }},
    {"right", nullptr, nullptr, Camera, [](MorvaneAppDelegate& d) { return turnCategory(d, 1); }},
    {"up", "Up / Down", "previous / next print frame", Camera,
     [](MorvaneAppDelegate& d) { return turnFrame(d, -1); }},
    {"down", nullptr, nullptr, Camera, [](MorvaneAppDelegate& d) { return turnFrame(d, 1); }},
    {"m", "M", "mirror the live picture, or not", Camera | Gallery, switchMirror},
    {"v", "V", "the next camera (the cameras found, then the built-in scene)", Camera, nextCamera},
    {"t", "T", "self-timer: off, 3 s, 10 s", Camera,
     [](MorvaneAppDelegate& d) { return d.selfTimerKeyPressed(), true; }},
    {"p", "P", "the look shown live, or not", Camera,
     [](MorvaneAppDelegate& d) { return d.lookLiveKeyPressed(), true; }},
    {"pageup", "PgUp / PgDn", "gallery or photos by a page", Gallery | Picker,
     [](MorvaneAppDelegate& d) { return page(d, -1); }},
    {"pagedown", nullptr, nullptr, Gallery | Picker,
     [](MorvaneAppDelegate& d) { return page(d, 1); }},
    {"home", "Home / End", "gallery or photos to top / end", Gallery | Picker,
     [](MorvaneAppDelegate& d) { return edge(d, -1); }},
    {"end", nullptr, nullptr, Gallery | Picker, [](MorvaneAppDelegate& d) { return edge(d, 1); }},
    {"backspace", "Backspace", "photos: back to the folder above", Picker, folderUp},
    {"escape", "Escape", "cancel the self-timer, an alert or the picker; close the gallery", Camera,
     [](MorvaneAppDelegate& d) { return d.cancelSelfTimer(); }},
    {"escape", nullptr, nullptr, Gallery,
     [](MorvaneAppDelegate& d) { return d.recentController()->doneButtonClicked(nullptr), true; }},
    {"escape", nullptr, nullptr, Picker,
     [](MorvaneAppDelegate& d) {
         const auto& library = d.libraryController();
         if (!library->rollController())
             return false;
         library->imagePickerControllerDidCancel(*library->rollController());
         return true;
     }},
    {platform::Application::kDefaultKey, "Return/Enter",
     "the alert's OK; in the gallery, the print in the image viewer", Alert, nullptr},
    {platform::Application::kDefaultKey, nullptr, nullptr, Gallery,
     [](MorvaneAppDelegate& d) { return d.recentController()->openPrintInView(); }},
    {"o", "O", "the album's folder, from the gallery", Gallery,
     [](MorvaneAppDelegate& d) { return d.recentController()->openAlbumFolder(); }},
    {"ctrl+p", "Ctrl+P", "in the gallery, print the one in view on paper", Gallery,
     [](MorvaneAppDelegate& d) { return d.recentController()->printInViewOnPaper(); }},
    {"f1", "F1 or ?", "the list of keys over the screen", kAnywhere, showKeys},
    // Where ? is Shift with the / key, as on US and UK keyboards.
    {"/", nullptr, nullptr, kAnywhere, showKeys},
    {"f11", "F11", "full screen on or off", kAnywhere, fullScreen},
    {"ctrl+q", "Ctrl+Q", "quit, as closing the window does", kAnywhere, quit},
};

// Columns the manual gives the keys, before what they do.
constexpr std::size_t kManualKeyColumn = 14;

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
            return shortcut.act && shortcut.act(delegate);
    return false;
}

const std::vector<std::string>& KeyboardShortcuts::keyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Shortcut& shortcut : kShortcuts)
            if (std::find(all.begin(), all.end(), shortcut.key) == all.end())
                all.push_back(shortcut.key);
        return all;
    }();
    return names;
}

std::vector<KeyboardShortcuts::GuideLine> KeyboardShortcuts::guide() {
    std::vector<GuideLine> lines;
    for (const Shortcut& shortcut : kShortcuts)
        if (shortcut.keys)
            lines.push_back({shortcut.keys, shortcut.does});
    return lines;
}

std::string KeyboardShortcuts::manual() {
    std::string text;
    for (const GuideLine& line : guide()) {
        std::string keys = "  " + line.keys;
        keys.resize(std::max(keys.size() + 2, kManualKeyColumn + 2), ' ');
        text += keys + line.does + "\n";
    }
    return text;
}
