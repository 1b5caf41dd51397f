#include "ShutterTestCamera.h"

#include "capture/SelfTimer.h"
#include "prints/RecentViewController.h"
#include "shell/DesktopPreferences.h"
#include "shell/KeyboardShortcuts.h"
#include "shell/MainScreen.h"

#include "platform/foundation/UserDefaults.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The camera launched with preferences written beforehand, as a user's earlier runs or
// `morvane defaults` leave them.
class SelfTimerTest : public ShutterTestCamera {
protected:
    void launchWith(std::vector<std::pair<std::string, platform::PropertyList>> preferences) {
        platform::UserDefaults defaults = platform::UserDefaults::standard();
        for (auto& [key, value] : preferences)
            defaults.setObjectForKey(std::move(value), key);
        ASSERT_TRUE(defaults.synchronize());
        ShutterTestCamera::SetUp();
    }
    void SetUp() override {}

    SelfTimer& timer() { return *delegate().selfTimer(); }
    bool lampLit() { return !delegate().mainScreen()->cameraLamp()->isHidden(); }
    bool countdownShown() { return timer().countdownLabel()->superview() != nullptr; }
    int sounds() { return camera_.application().soundCount(); }
    // Runs the clock on until the print in progress is saved and off the screen.
    void finishPrint() {
        for (int step = 0; step < 500 && delegate().isSaving(); ++step)
            camera_.runFor(0.01);
        camera_.runFor(3);
    }
};

TEST_F(SelfTimerTest, TheCountdownTakesOneShotWhenItRunsOutWithTheLampBlinking) {
    launchWith({{DesktopPreferences::kSelfTimer, platform::PropertyList::integer(3)}});
    const double pressed = now();
    delegate().shutterButtonTouched();
    EXPECT_FALSE(delegate().isSaving());
    EXPECT_TRUE(countdownShown());
    EXPECT_EQ(timer().countdownLabel()->text(), "3");

    // Each second the lamp goes dark for half of it and the number drops by one.
    std::vector<bool> lamp;
    std::string shown;
    for (double t = 0.25; t < 3; t += 0.5) {
        runUntil(pressed + t);
        lamp.push_back(lampLit());
        shown += timer().countdownLabel()->text();
        EXPECT_FALSE(delegate().isSaving()) << "shot early, at " << t << " s";
    }
    EXPECT_EQ(lamp, (std::vector<bool>{false, true, false, true, false, true}));
    EXPECT_EQ(shown, "332211");
    EXPECT_TRUE(smallPrintFiles().empty());

    // Then the shutter runs as without the timer, once.
    runUntil(pressed + 3.05);
    EXPECT_TRUE(developingShown());
    EXPECT_FALSE(countdownShown());
    EXPECT_TRUE(lampLit());
    finishPrint();
    camera_.runFor(20);
    EXPECT_EQ(smallPrintFiles().size(), 1u);
    EXPECT_FALSE(timer().isCounting());
}

TEST_F(SelfTimerTest, ACalledOffCountdownPrintsNothingAndLeavesTheScreenAsItWas) {
    launchWith({{DesktopPreferences::kSelfTimer, platform::PropertyList::integer(10)}});
    const std::vector<std::pair<const char*, std::function<void()>>> callers = {
        {"the shutter again", [&] { delegate().shutterButtonTouched(); }},
        {"Escape", [&] { EXPECT_TRUE(KeyboardShortcuts::handle(delegate(), "escape")); }},
        {"the library button", [&] { delegate().libraryButtonTouched(); }},
        {"the gallery", [&] { delegate().recentButtonTouched(); }},
        {"the timer key", [&] { KeyboardShortcuts::handle(delegate(), "t"); }},
    };
    const int soundsBefore = sounds();
    for (const auto& [name, callOff] : callers) {
        SCOPED_TRACE(name);
        // Back to the camera as a user would come back to it.
        delegate().cameraButtonTouched();
        delegate().recentController()->doneButtonClicked(nullptr);
        camera_.runFor(1);
        ASSERT_TRUE(lampLit());
        delegate().shutterButtonTouched();
        ASSERT_TRUE(timer().isCounting());
        // In the dark half of a blink, so the lamp has to be given back.
        camera_.runFor(1.2);
        ASSERT_FALSE(lampLit());
        callOff();
        EXPECT_FALSE(timer().isCounting());
        EXPECT_FALSE(countdownShown());
        camera_.runFor(15);
        EXPECT_FALSE(delegate().isSaving());
        EXPECT_TRUE(smallPrintFiles().empty());
        EXPECT_EQ(lampLit(), !delegate().isEditMode());
    }
    EXPECT_EQ(sounds(), soundsBefore);
}

TEST_F(SelfTimerTest, TheKeyStepsThroughTheDelaysAndKeepsTheChoiceForTheNextStart) {
    // A value the timer does not know is off, and the key starts the cycle from there.
    launchWith({{DesktopPreferences::kSelfTimer, platform::PropertyList::integer(7)}});
    EXPECT_EQ(delegate().selfTimerDelay(), 0);
    std::vector<int> delays, kept;
    for (int press = 0; press < 4; ++press) {
        ASSERT_TRUE(KeyboardShortcuts::handle(delegate(), "t"));
        delays.push_back(delegate().selfTimerDelay());
        kept.push_back(DesktopPreferences::selfTimer(platform::UserDefaults::standard()));
    }
    EXPECT_EQ(delays, (std::vector<int>{3, 10, 0, 3}));
    EXPECT_EQ(kept, delays);
    // The choice is said on the screen, briefly.
    EXPECT_EQ(timer().noteLabel()->superview(), delegate().window());
    EXPECT_EQ(timer().noteLabel()->text(), "Self-timer 3 s");
    camera_.runFor(SelfTimer::kNoteSeconds + 0.1);
    EXPECT_EQ(timer().noteLabel()->superview(), nullptr);
}

TEST_F(SelfTimerTest, EveryShotSoundsUnlessSoundsAreOffAndALibraryPrintDoesNotWait) {
    launchWith({{DesktopPreferences::kSelfTimer, platform::PropertyList::integer(3)}});
    chooseLibraryPhotograph(squarePicture(600));
    const int before = sounds();
    delegate().shutterButtonTouched();
    EXPECT_FALSE(timer().isCounting());
    EXPECT_TRUE(delegate().isSaving());
    EXPECT_EQ(sounds(), before + 1);
    finishPrint();
    EXPECT_EQ(smallPrintFiles().size(), 1u);
}

TEST_F(SelfTimerTest, SoundsOffIsSilent) {
    launchWith({{DesktopPreferences::kPlaysSounds, platform::PropertyList::boolean(false)}});
    EXPECT_FALSE(delegate().playsSounds());
    const int before = sounds();
    pressAndAwaitCompletion();
    EXPECT_EQ(sounds(), before);
}

} // namespace
