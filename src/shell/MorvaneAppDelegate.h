#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class DevelopingShow;
class LibraryPhoto;
class LiveLook;
class LibraryViewController;
class MainScreen;
class PaperPrinter;
class MorvaneViewController;
class PrintLists;
class RecentViewController;
class SelfTimer;

// The application delegate: it creates the camera's modules at launch, wires them to each
// other and to the three controllers, and keeps them for the life of the process. It holds
// what no single module owns (the modes, the saving interlock, the preferences read at
// launch, the hardware model text); the main screen, the developing show, the library
// photograph and the print lists keep their own state.
class MorvaneAppDelegate : public platform::ApplicationDelegate,
                           public std::enable_shared_from_this<MorvaneAppDelegate> {
public:
    MorvaneAppDelegate();
    ~MorvaneAppDelegate() override;

    // Application life cycle.
    void applicationDidFinishLaunching(platform::Application& application) override;
    void applicationWillTerminate(platform::Application& application) override;
    // Stores the hardware model text in platformString; empty when the query fails.
    void platform();

    // Mode switching.
    void cameraButtonTouched();
    void libraryButtonTouched();
    void recentButtonTouched();

    // Shutter and developing; the show's steps are the developing show's. With the self-timer
    // set, the shutter in camera mode starts its countdown (and, pressed again, calls it off).
    void shutterButtonTouched();
    void startDeveloping();
    void initResult();
    void endDeveloping();
    void dropDownResult();
    void removeResult();
    // The photo album's completion for a print made from a library photograph. The error is
    // not examined: a failed save completes like a successful one.
    void imageDidFinishSavingWithErrorContextInfo(const platform::ImageRef& image,
                                                  const std::optional<std::string>& error);
    // Makes the print from the library photograph.
    void saveRollImage();

    // Prepares a photograph picked from the library as the square the shutter prints.
    void loadImageFromRoll(const platform::ImageRef& image);

    // The print lists' operations: saveImageWithName also shows the stored small print in the
    // developing show's print view.
    void saveImageWithName(const platform::ImageRef& image, const std::string& name);
    void saveImage2WithName(const platform::ImageRef& image, const std::string& name);
    platform::ImageRef loadImage(const std::string& name);

    // The self-timer key: the next delay (off, 3 s, 10 s), kept in the preferences and said on
    // screen; a countdown under way is called off.
    void selfTimerKeyPressed();
    // Escape and every mode change call a countdown off; false when none was under way.
    bool cancelSelfTimer();
    // The live-look key: the live picture through the chosen look and frame as the print will
    // have them, or bare; kept in the preferences and said on screen.
    void lookLiveKeyPressed();

    bool isEditMode() const { return isEditMode_; }
    bool isSaving() const { return isSaving_; }
    void setIsSaving(bool value) { isSaving_ = value; }
    bool canVibrate() const { return canVibrate_; }
    void setCanVibrate(bool value) { canVibrate_ = value; }
    bool isHighQuality() const { return isHighQuality_; }
    void setIsHighQuality(bool value) { isHighQuality_ = value; }
    bool canDate() const { return canDate_; }
    int selfTimerDelay() const { return selfTimerDelay_; }
    bool playsSounds() const { return playsSounds_; }
    bool showsLookLive() const { return showsLookLive_; }
    // What the live picture is treated with while the look is shown live (nullptr before).
    LiveLook* liveLook() const { return liveLook_.get(); }
    const std::string& platformString() const { return platformString_; }
    void setPlatformString(std::string value) { platformString_ = std::move(value); }
    const std::shared_ptr<platform::Window>& window() const { return window_; }
    void setWindow(std::shared_ptr<platform::Window> value) { window_ = std::move(value); }
    const std::shared_ptr<MorvaneViewController>& viewController() const { return viewController_; }
    void setViewController(std::shared_ptr<MorvaneViewController> value) {
        viewController_ = std::move(value);
    }
    const std::shared_ptr<LibraryViewController>& libraryController() const {
        return libraryController_;
    }
    const std::shared_ptr<RecentViewController>& recentController() const {
        return recentController_;
    }

    // The modules. The main screen, the show and the library photograph exist from launch on
    // (nullptr before); the print lists from the start.
    MainScreen* mainScreen() const { return mainScreen_.get(); }
    DevelopingShow* developingShow() const { return developingShow_.get(); }
    LibraryPhoto* libraryPhoto() const { return libraryPhoto_.get(); }
    SelfTimer* selfTimer() const { return selfTimer_.get(); }
    PrintLists& printLists() const { return *printLists_; }
    // Sends prints to paper where a printer is chosen; exists from launch on.
    const std::shared_ptr<PaperPrinter>& paperPrinter() const { return paperPrinter_; }

private:
    void buildMainScreen(const std::string& skinSuffix);
    void wireControllers();
    // From launch on, a strip that comes to rest on a new page is recorded in the
    // configuration list, and so is where the strips stand at termination.
    void stripCameToRest();
    // Hands the live picture the look and frame the strips stand on now, or takes them away.
    void showLookLive();
    // The shutter's own work, at once or when the self-timer runs out.
    void takeShot();
    bool canTakeShot() const;
    // The shutter's sound from the resources; a camera without it takes its shots silently.
    void loadShutterSound();
    // A call of one of the delegate's operations while the delegate lives.
    std::function<void()> actionFor(void (MorvaneAppDelegate::*operation)());

    bool isEditMode_ = false;
    bool isSaving_ = false;
    bool canVibrate_ = false;
    bool isHighQuality_ = false;
    bool canDate_ = false;
    int selfTimerDelay_ = 0;
    bool playsSounds_ = true;
    bool showsLookLive_ = false;
    // Mono samples at shutterSoundRate_ a second; empty when the sound could not be read.
    std::vector<std::int16_t> shutterSound_;
    int shutterSoundRate_ = 0;
    std::string platformString_;
    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<MorvaneViewController> viewController_;
    std::shared_ptr<LibraryViewController> libraryController_;
    std::shared_ptr<RecentViewController> recentController_;
    std::unique_ptr<MainScreen> mainScreen_;
    std::shared_ptr<DevelopingShow> developingShow_;
    std::unique_ptr<LibraryPhoto> libraryPhoto_;
    std::shared_ptr<SelfTimer> selfTimer_;
    std::shared_ptr<LiveLook> liveLook_;
    std::shared_ptr<PrintLists> printLists_;
    std::shared_ptr<PaperPrinter> paperPrinter_;
};
