#include "shell/KeyboardShortcuts.h"
#include "capture/MorvaneViewController.h"
#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/PaperPrinter.h"
#include "prints/PrintStore.h"
#include "prints/RecentViewController.h"
#include "shell/KeysOverlay.h"
#include "support/LaunchedCamera.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/PhotoLibraryView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// What is in front when a key comes: a mode, or something over it.
enum class Screen { Camera, Edit, Picker, Gallery, RemoveOne, RemoveAll, Developing };

const char* nameOf(Screen screen) {
    constexpr const char* names[] = {"camera mode", "edit mode",         "photo picker",
                                     "gallery",     "Remove This Print", "Remove All Prints",
                                     "developing"};
    return names[static_cast<int>(screen)];
}

// What a key left behind once everything it started has run its course.
struct Outcome {
    Screen screen;
    bool editMode;
    int printsMade = 0;
    std::set<std::string> removed = {};
    bool stripsTurned = false;
    bool mirrorSwitched = false;
    // The gallery or the picker's photos moved on.
    bool listScrolled = false;
    bool keysShown = false;
    bool quit = false;
    // Files or folders handed to the desktop's opener.
    int opened = 0;
    bool lookLiveSwitched = false;
    // A note of the paper printer's over the picture (with none chosen, how to choose one).
    bool paperNote = false;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    out << nameOf(o.screen) << (o.editMode ? ", edit mode" : ", camera mode") << ", "
        << o.printsMade << " made, removed {";
    for (const std::string& name : o.removed)
        out << " " << name;
    return out << " }" << (o.stripsTurned ? ", strips turned" : "")
               << (o.mirrorSwitched ? ", mirror switched" : "")
               << (o.lookLiveSwitched ? ", look live switched" : "")
               << (o.listScrolled ? ", list scrolled" : "") << (o.keysShown ? ", keys shown" : "")
               << (o.quit ? ", quit" : "") << (o.opened ? ", opened" : "")
               << (o.paperNote ? ", paper note" : "");
}

// The keys that do something, by the screen they come to; every other pair must leave that
// screen exactly as it was. The developing show ends on its own, with its one print.
struct Effect {
    Screen from;
    const char* key;
    Outcome outcome;
};
const std::set<std::string> kSecondPrint = {"1002.jpg"};
const std::set<std::string> kAllPrints = {"1001.jpg", "1002.jpg", "1003.jpg"};
const Effect kEffects[] = {
    {Screen::Camera, "space", {Screen::Camera, false, 1}},
    {Screen::Camera, "l", {Screen::Picker, true}},
    {Screen::Camera, "r", {Screen::Gallery, false}},
    {Screen::Edit, "space", {Screen::Camera, false, 1}},
    {Screen::Edit, "c", {Screen::Camera, false}},
    {Screen::Edit, "l", {Screen::Picker, true}},
    {Screen::Edit, "r", {Screen::Gallery, true}},
    {Screen::Picker, "escape", {Screen::Camera, false}},
    {Screen::Gallery, "escape", {Screen::Camera, false}},
    {Screen::RemoveOne, "escape", {Screen::Gallery, false}},
    {Screen::RemoveOne, "return", {Screen::Gallery, false, 0, kSecondPrint}},
    {Screen::RemoveAll, "escape", {Screen::Gallery, false}},
    {Screen::RemoveAll, "return", {Screen::Gallery, false, 0, kAllPrints}},
    // The print in view, and the album's folder.
    {Screen::Gallery,
     "return",
     {Screen::Gallery, false, 0, {}, false, false, false, false, false, 1}},
    {Screen::Gallery, "o", {Screen::Gallery, false, 0, {}, false, false, false, false, false, 1}},
    // Paper, for the print in view: with no printer chosen, the note says how to choose one.
    {Screen::Gallery,
     "ctrl+p",
     {Screen::Gallery, false, 0, {}, false, false, false, false, false, 0, false, true}},
};
// The strips and the mirror are not touches on a control: they answer wherever the camera's
// own screen or the gallery is in front, and never through a picker or an alert.
const std::set<Screen> kStripsTurn = {Screen::Camera, Screen::Edit, Screen::Developing};
// The live look is the camera's: its key answers where the camera's own screen is in front.
const std::set<Screen> kLookLiveSwitches = {Screen::Camera, Screen::Edit, Screen::Developing};
const std::set<Screen> kMirrorSwitches = {Screen::Camera, Screen::Edit, Screen::Gallery,
                                          Screen::Developing};
// The page keys move the list in front, which starts at its top: only down and End move it.
const std::set<Screen> kListsScroll = {Screen::Gallery, Screen::Picker};

Outcome expected(Screen from, const std::string& key) {
    for (const Effect& effect : kEffects)
        if (effect.from == from && effect.key == key)
            return effect.outcome;
    Outcome nothing{from, from == Screen::Edit || from == Screen::Picker};
    if (from == Screen::Developing)
        nothing = {Screen::Camera, false, 1};
    nothing.stripsTurned = kStripsTurn.count(from) &&
                           (key == "left" || key == "right" || key == "up" || key == "down");
    nothing.mirrorSwitched = kMirrorSwitches.count(from) && key == "m";
    nothing.lookLiveSwitched = kLookLiveSwitches.count(from) && key == "p";
    nothing.listScrolled = kListsScroll.count(from) && (key == "pagedown" || key == "end");
    // The window's own keys reach through whatever is in front; F11 has no window here.
    nothing.keysShown = key == "f1" || key == "/";
    nothing.quit = key == "ctrl+q";
    return nothing;
}

class KeyboardShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        camera_.launch();
        delegate().viewController()->viewDidAppear(false);
        seedPrints();
        // The desktop is not what these tests are about: what it is handed is counted.
        gallery().setOpener([this](const std::filesystem::path&, std::string&) {
            ++opened_;
            return true;
        });
        // Both strips in a middle page, so that a key can turn them either way.
        delegate().mainScreen()->catScrollView()->setContentOffset(
            {StripPages::kCategoryPageWidth, 0});
        delegate().mainScreen()->miniFrameView()->setContentOffset(
            {StripPages::kFramePageWidth, 0});
        camera_.runFor(1);
    }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    RecentViewController& gallery() { return *delegate().recentController(); }
    LibraryViewController& library() { return *delegate().libraryController(); }

    void seedPrints() {
        PrintLists::List prints;
        const auto picture = platform::Image::fromPixels(
            250, 250, std::vector<std::uint32_t>(250 * 250, 0xFF808080u));
        for (int i = 3; i >= 1; --i) {
            const std::string name = std::to_string(1000 + i) + ".jpg";
            ASSERT_TRUE(PrintStore::writePrintFile(picture, name));
            ASSERT_TRUE(PrintStore::writePrintFile(picture, "big_" + name));
            prints.push_back(PrintStore::makePrintEntry(name, std::chrono::system_clock::now()));
        }
        delegate().printLists().setPrintsXML(prints);
    }

    void bringUp(Screen screen) {
        switch (screen) {
        case Screen::Camera:
            break;
        case Screen::Edit: {
            delegate().libraryButtonTouched();
            camera_.runFor(1);
            const auto photo = home_.root() / "photo.jpg";
            ASSERT_TRUE(platform::Image::fromPixels(
                            64, 48, std::vector<std::uint32_t>(64 * 48, 0xFF4080C0u))
                            ->writeJpeg(photo, 0.9));
            std::string error;
            ASSERT_TRUE(library().rollController()->pickFile(photo, error)) << error;
            break;
        }
        case Screen::Picker:
            // More photos than a screen holds, so that the page keys have somewhere to go.
            std::filesystem::create_directories(home_.root() / "Pictures");
            for (int i = 0; i < 40; ++i)
                ASSERT_TRUE(
                    platform::Image::fromPixels(8, 8, std::vector<std::uint32_t>(64, 0xFF4080C0u))
                        ->writeJpeg(home_.root() / "Pictures" /
                                        ("photo" + std::to_string(i) + ".jpg"),
                                    0.9));
            delegate().libraryButtonTouched();
            break;
        case Screen::Gallery:
            delegate().recentButtonTouched();
            break;
        case Screen::RemoveOne:
            delegate().recentButtonTouched();
            camera_.runFor(1);
            gallery().removePrints(removeButton(1));
            break;
        case Screen::RemoveAll:
            delegate().recentButtonTouched();
            camera_.runFor(1);
            gallery().removeAllPrints(nullptr);
            break;
        case Screen::Developing:
            // On the virtual clock the print is done as soon as the loop runs: the key comes
            // before it does, while the show is on.
            delegate().shutterButtonTouched();
            ASSERT_TRUE(delegate().isSaving());
            return;
        }
        camera_.runFor(1);
        ASSERT_EQ(observe().screen, screen) << nameOf(screen);
    }

    std::shared_ptr<platform::View> removeButton(int tag) {
        for (const auto& view : gallery().scrollArea()->subviews())
            if (std::dynamic_pointer_cast<platform::Button>(view) && view->tag() == tag)
                return view;
        return nullptr;
    }

    std::set<std::string> listed() {
        std::set<std::string> names;
        for (const auto& entry : delegate().printLists().printsXML())
            names.insert(PrintStore::printName(entry));
        return names;
    }
    platform::Point stripOffsets() {
        return {delegate().mainScreen()->catScrollView()->contentOffset().x,
                delegate().mainScreen()->miniFrameView()->contentOffset().x};
    }
    double listOffsets() {
        double sum = gallery().scrollArea()->contentOffset().y;
        if (const auto& picker = library().rollController(); picker && picker->libraryView())
            sum += picker->libraryView()->scrollView()->contentOffset().y;
        return sum;
    }
    template <typename T>
    bool onWindow() {
        for (const auto& view : delegate().window()->subviews())
            if (std::dynamic_pointer_cast<T>(view))
                return true;
        return false;
    }

    // The outcome as the screen, the lists and the album show it, against the moment before.
    Outcome observe(const std::set<std::string>& before = {}, platform::Point strips = {},
                    bool mirror = false, double lists = 0, int openedBefore = 0,
                    bool lookLive = false) {
        Outcome o{Screen::Camera, delegate().isEditMode()};
        // The alert on the window, even with the keys overlay in front of it.
        std::shared_ptr<platform::AlertView> alert;
        for (const auto& view : delegate().window()->subviews())
            if (auto found = std::dynamic_pointer_cast<platform::AlertView>(view))
                alert = found;
        if (alert)
            o.screen = alert->title() == RecentViewController::kRemoveOneTitle ? Screen::RemoveOne
                                                                               : Screen::RemoveAll;
        else if (library().modalViewController())
            o.screen = Screen::Picker;
        else if (gallery().view()->transform().ty < 480)
            o.screen = Screen::Gallery;
        else if (delegate().isSaving())
            o.screen = Screen::Developing;
        else if (o.editMode)
            o.screen = Screen::Edit;
        const std::set<std::string> after = listed();
        for (const std::string& name : after)
            o.printsMade += !before.count(name);
        for (const std::string& name : before)
            if (!after.count(name))
                o.removed.insert(name);
        const platform::Point now = stripOffsets();
        o.stripsTurned = now.x != strips.x || now.y != strips.y;
        o.mirrorSwitched = camera_.application().mirrorsLivePicture() != mirror;
        o.lookLiveSwitched = delegate().showsLookLive() != lookLive;
        o.listScrolled = listOffsets() != lists;
        o.keysShown = onWindow<KeysOverlay>();
        o.quit = camera_.application().isQuitRequested();
        o.opened = opened_ - openedBefore;
        o.paperNote = !delegate().paperPrinter()->noteText().empty();
        return o;
    }

    // Sends the key and lets whatever it started finish: a print develops and drops out.
    Outcome press(const std::string& key) {
        const auto before = listed();
        const auto strips = stripOffsets();
        const bool mirror = camera_.application().mirrorsLivePicture();
        const double lists = listOffsets();
        const int opened = opened_;
        const bool lookLive = delegate().showsLookLive();
        camera_.application().key(key);
        for (int step = 0; step < 2000 && delegate().isSaving(); ++step)
            camera_.runFor(0.005);
        camera_.runFor(4);
        return observe(before, strips, mirror, lists, opened, lookLive);
    }

    TempHome home_;
    LaunchedCamera camera_;
    int opened_ = 0;
};

// The camera's keys, and names the window gives other keys, which must do nothing anywhere:
// not even Escape held with Control cancels what Escape alone would.
std::vector<std::string> everyKey() {
    std::vector<std::string> keys = KeyboardShortcuts::keyNames();
    keys.insert(keys.end(), {"q", "ctrl+escape", "ctrl+space"});
    return keys;
}

class EveryKeyInEveryScreen
    : public KeyboardShortcutsTest,
      public ::testing::WithParamInterface<std::tuple<Screen, std::string>> {};

TEST_P(EveryKeyInEveryScreen, DoesOnlyWhatTheScreenInFrontAllows) {
    const auto& [from, key] = GetParam();
    bringUp(from);
    EXPECT_EQ(press(key), expected(from, key));
}

INSTANTIATE_TEST_SUITE_P(Table, EveryKeyInEveryScreen,
                         ::testing::Combine(::testing::Values(Screen::Camera, Screen::Edit,
                                                              Screen::Picker, Screen::Gallery,
                                                              Screen::RemoveOne, Screen::RemoveAll,
                                                              Screen::Developing),
                                            ::testing::ValuesIn(everyKey())),
                         [](const auto& info) {
                             std::string name = nameOf(std::get<0>(info.param)) + std::string("_") +
                                                std::get<1>(info.param);
                             std::erase(name, ' ');
                             std::replace(name.begin(), name.end(), '+', '_');
                             std::replace(name.begin(), name.end(), '/', 'Q');
                             return name;
                         });

} // namespace
