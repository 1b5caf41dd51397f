#pragma once

#include "prints/ListFiles.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LibraryViewController;
class MorvaneViewController;
class RecentViewController;

// The camera's state record and application delegate: it owns every view of the main screen,
// the two secondary controllers, the two lists and the library photograph for the life of the
// process. The controllers are thin and reach it through the application's delegate.
//
// The operations live in several files by subject: launch and the main screen in shell/,
// the print store in prints/, the shutter, looks and print making in capture/, the library
// photograph in library/.
class MorvaneAppDelegate : public platform::ApplicationDelegate,
                           public std::enable_shared_from_this<MorvaneAppDelegate> {
public:
    using List = std::vector<platform::PropertyList>;

    MorvaneAppDelegate();
    ~MorvaneAppDelegate() override;

    // The running application's delegate, or nullptr when there is none (or it is not ours).
    static std::shared_ptr<MorvaneAppDelegate> sharedDelegate();

    // Application life cycle.
    void applicationDidFinishLaunching(platform::Application& application) override;
    void applicationWillTerminate(platform::Application& application) override;
    // Stores the hardware model text in platformString; empty when the query fails.
    void platform();

    // Mode switching.
    void cameraButtonTouched();
    void libraryButtonTouched();
    void recentButtonTouched();

    // Shutter and developing.
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
    // Makes the print from the library photograph in originalImage.
    void saveRollImage();

    // The ten film looks: the picture treated and turned upside down, of the same pixel size.
    // nullptr for no picture.
    platform::ImageRef effect1(const platform::ImageRef& image);
    platform::ImageRef effect2(const platform::ImageRef& image);
    platform::ImageRef effect3(const platform::ImageRef& image);
    platform::ImageRef effect4(const platform::ImageRef& image);
    platform::ImageRef effect5(const platform::ImageRef& image);
    platform::ImageRef effect6(const platform::ImageRef& image);
    platform::ImageRef effect7(const platform::ImageRef& image);
    platform::ImageRef effect8(const platform::ImageRef& image);
    platform::ImageRef effect9(const platform::ImageRef& image);
    platform::ImageRef effect10(const platform::ImageRef& image);

    // Prepares a photograph picked from the library as the square the shutter prints.
    void loadImageFromRoll(const platform::ImageRef& image);

    // The print store. saveImageWithName puts a new entry at the head of the print list,
    // evicts the 21st print with its two files, writes the small print (JPEG, quality 1.0)
    // and shows it in the developed print view; saveImage2WithName writes the full-size print
    // and leaves the list alone; loadImage reads a file of the Documents directory.
    void saveImageWithName(const platform::ImageRef& image, const std::string& name);
    void saveImage2WithName(const platform::ImageRef& image, const std::string& name);
    platform::ImageRef loadImage(const std::string& name);
    // A print name for a print made at that many whole seconds since 1970 that no file and no
    // entry of the print list uses yet.
    std::string uniquePrintName(long long seconds) const;
    // Writes each list whose content changed since it was last written: after every print,
    // removal and strip page, so that an abnormal end loses nothing.
    void saveLists();

    // Accessors of the state record. developedImage and developedView have none: only the
    // record's own operations touch them.
    bool isEditMode() const { return isEditMode_; }
    void setIsEditMode(bool value) { isEditMode_ = value; }
    bool isSaving() const { return isSaving_; }
    void setIsSaving(bool value) { isSaving_ = value; }
    bool canVibrate() const { return canVibrate_; }
    void setCanVibrate(bool value) { canVibrate_ = value; }
    bool isHighQuality() const { return isHighQuality_; }
    void setIsHighQuality(bool value) { isHighQuality_ = value; }
    bool canDate() const { return canDate_; }
    void setCanDate(bool value) { canDate_ = value; }
    const std::shared_ptr<platform::Window>& window() const { return window_; }
    void setWindow(std::shared_ptr<platform::Window> value) { window_ = std::move(value); }
    const std::shared_ptr<MorvaneViewController>& viewController() const { return viewController_; }
    void setViewController(std::shared_ptr<MorvaneViewController> value) {
        viewController_ = std::move(value);
    }
    const std::shared_ptr<LibraryViewController>& libraryController() const {
        return libraryController_;
    }
    void setLibraryController(std::shared_ptr<LibraryViewController> value) {
        libraryController_ = std::move(value);
    }
    const std::shared_ptr<RecentViewController>& recentController() const {
        return recentController_;
    }
    void setRecentController(std::shared_ptr<RecentViewController> value) {
        recentController_ = std::move(value);
    }
    const std::shared_ptr<platform::Button>& shutterButton() const { return shutterButton_; }
    void setShutterButton(std::shared_ptr<platform::Button> value) {
        shutterButton_ = std::move(value);
    }
    const std::shared_ptr<platform::View>& cameraView() const { return cameraView_; }
    void setCameraView(std::shared_ptr<platform::View> value) { cameraView_ = std::move(value); }
    const std::shared_ptr<platform::ImageView>& libraryPhotoView() const {
        return libraryPhotoView_;
    }
    void setLibraryPhotoView(std::shared_ptr<platform::ImageView> value) {
        libraryPhotoView_ = std::move(value);
    }
    const std::shared_ptr<platform::View>& developingMsgView() const { return developingMsgView_; }
    void setDevelopingMsgView(std::shared_ptr<platform::View> value) {
        developingMsgView_ = std::move(value);
    }
    const std::shared_ptr<platform::ActivityIndicatorView>& activityWheel() const {
        return activityWheel_;
    }
    void setActivityWheel(std::shared_ptr<platform::ActivityIndicatorView> value) {
        activityWheel_ = std::move(value);
    }
    const std::shared_ptr<platform::ImageView>& shutterView() const { return shutterView_; }
    void setShutterView(std::shared_ptr<platform::ImageView> value) {
        shutterView_ = std::move(value);
    }
    const platform::ImageRef& originalImage() const { return originalImage_; }
    void setOriginalImage(platform::ImageRef value) { originalImage_ = std::move(value); }
    const platform::ImageRef& resizedImage() const { return resizedImage_; }
    void setResizedImage(platform::ImageRef value) { resizedImage_ = std::move(value); }
    const std::string& platformString() const { return platformString_; }
    void setPlatformString(std::string value) { platformString_ = std::move(value); }
    const std::shared_ptr<platform::ScrollView>& catScrollView() const { return catScrollView_; }
    void setCatScrollView(std::shared_ptr<platform::ScrollView> value) {
        catScrollView_ = std::move(value);
    }
    const std::shared_ptr<platform::ImageView>& cameraLamp() const { return cameraLamp_; }
    void setCameraLamp(std::shared_ptr<platform::ImageView> value) {
        cameraLamp_ = std::move(value);
    }
    const std::shared_ptr<platform::ImageView>& libraryLamp() const { return libraryLamp_; }
    void setLibraryLamp(std::shared_ptr<platform::ImageView> value) {
        libraryLamp_ = std::move(value);
    }
    List& configXML() { return configXML_; }
    const List& configXML() const { return configXML_; }
    void setConfigXML(List value) { configXML_ = std::move(value); }
    List& printsXML() { return printsXML_; }
    const List& printsXML() const { return printsXML_; }
    void setPrintsXML(List value) { printsXML_ = std::move(value); }
    const std::shared_ptr<platform::ScrollView>& miniFrameView() const { return miniFrameView_; }
    void setMiniFrameView(std::shared_ptr<platform::ScrollView> value) {
        miniFrameView_ = std::move(value);
    }

private:
    // Tests look at the two views without accessors through this.
    friend struct MorvaneAppDelegateTestAccess;

    // Launch steps kept apart from the sequence itself.
    void loadLists();
    void buildMainScreen(const std::string& skinSuffix);
    void restoreStrips();
    // From launch on, a strip that comes to rest on a new page is recorded in configXML.
    void watchStrips();
    void stripCameToRest();
    // A button action that runs one of the record's operations while the record lives.
    std::function<void()> actionFor(void (MorvaneAppDelegate::*operation)());
    // A 0.5 s slide of a view to the translation (0, y), y in points.
    static void slideView(const std::shared_ptr<platform::View>& view, double y);

    bool isEditMode_ = false;
    bool isSaving_ = false;
    bool canVibrate_ = false;
    bool isHighQuality_ = false;
    bool canDate_ = false;
    std::shared_ptr<platform::Window> window_;
    std::shared_ptr<MorvaneViewController> viewController_;
    std::shared_ptr<LibraryViewController> libraryController_;
    std::shared_ptr<RecentViewController> recentController_;
    std::shared_ptr<platform::Button> shutterButton_;
    std::shared_ptr<platform::View> cameraView_;
    std::shared_ptr<platform::ImageView> libraryPhotoView_;
    std::shared_ptr<platform::ImageView> developedImage_;
    std::shared_ptr<platform::ScrollView> developedView_;
    std::shared_ptr<platform::View> developingMsgView_;
    std::shared_ptr<platform::ActivityIndicatorView> activityWheel_;
    std::shared_ptr<platform::ImageView> shutterView_;
    // No picture stands for the platform's empty image.
    platform::ImageRef originalImage_;
    platform::ImageRef resizedImage_;
    std::string platformString_;
    std::shared_ptr<platform::ScrollView> catScrollView_;
    std::shared_ptr<platform::ImageView> cameraLamp_;
    std::shared_ptr<platform::ImageView> libraryLamp_;
    List configXML_;
    List printsXML_;
    std::shared_ptr<platform::ScrollView> miniFrameView_;
    ListFiles listFiles_;
};
