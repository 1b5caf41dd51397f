#include "shell/MorvaneAppDelegate.h"

#include "capture/DevelopingShow.h"
#include "capture/MorvaneViewController.h"
#include "capture/SelfTimer.h"
#include "library/LibraryPhoto.h"
#include "library/LibraryViewController.h"
#include "prints/PrintLists.h"
#include "prints/RecentViewController.h"
#include "shell/AlbumFolder.h"
#include "shell/CameraNotices.h"
#include "shell/DelegatePrintSink.h"
#include "shell/MainScreen.h"
#include "shell/SkinResources.h"

std::function<void()> MorvaneAppDelegate::actionFor(void (MorvaneAppDelegate::*operation)()) {
    // Weak: the delegate owns the buttons and controllers, which must not keep it alive.
    return [weak = weak_from_this(), operation] {
        if (auto self = weak.lock())
            ((*self).*operation)();
    };
}

void MorvaneAppDelegate::buildMainScreen(const std::string& skinSuffix) {
    mainScreen_ = std::make_unique<MainScreen>(
        skinSuffix, MainScreen::Actions{actionFor(&MorvaneAppDelegate::shutterButtonTouched),
                                        actionFor(&MorvaneAppDelegate::cameraButtonTouched),
                                        actionFor(&MorvaneAppDelegate::libraryButtonTouched),
                                        actionFor(&MorvaneAppDelegate::recentButtonTouched)});
    developingShow_ = std::make_shared<DevelopingShow>(DevelopingShow::Stage{
        window_, mainScreen_->cameraView(), SkinResources::image("background" + skinSuffix),
        actionFor(&MorvaneAppDelegate::cameraButtonTouched)});
    libraryPhoto_ = std::make_unique<LibraryPhoto>();

    // The two secondary controllers, from their interface files.
    libraryController_ = std::make_shared<LibraryViewController>("LibraryViewController");
    recentController_ = std::make_shared<RecentViewController>("RecentViewController");
    wireControllers();

    // Onto the window in this order, later above earlier; the library and the gallery wait
    // just below the screen.
    if (window_) {
        window_->addSubview(libraryPhoto_->libraryPhotoView());
        window_->addSubview(mainScreen_->cameraView());
        window_->addSubview(mainScreen_->miniFrameView());
        window_->addSubview(libraryController_->view());
        window_->addSubview(recentController_->view());
    }
    const auto belowScreen =
        platform::AffineTransform::makeTranslation(0, platform::Application::kScreenHeight);
    libraryController_->view()->setTransform(belowScreen);
    recentController_->view()->setTransform(belowScreen);

    selfTimer_ = std::make_shared<SelfTimer>(
        SelfTimer::Stage{window_, mainScreen_->cameraLamp(), CameraNotices::kFontName});
}

void MorvaneAppDelegate::wireControllers() {
    const std::weak_ptr<MorvaneAppDelegate> weak = weak_from_this();
    if (viewController_) {
        viewController_->setPrintSinkFactory(
            [weak](PrintSink::Completion completion) -> std::unique_ptr<PrintSink> {
                const auto self = weak.lock();
                if (!self)
                    return nullptr;
                return std::make_unique<DelegatePrintSink>(*self, std::move(completion));
            });
        viewController_->setPrintInputs([weak] {
            const auto self = weak.lock();
            return self ? DelegatePrintSink::inputsFrom(*self) : PrintInputs{};
        });
        viewController_->setOnSaved([weak] {
            if (const auto self = weak.lock()) {
                self->isSaving_ = false;
                self->dropDownResult();
            }
        });
        viewController_->setOnDone(actionFor(&MorvaneAppDelegate::endDeveloping));
        viewController_->setCameraStatusText(CameraNotices::screenText, CameraNotices::kFontName);
    }
    libraryController_->setOnCancel(actionFor(&MorvaneAppDelegate::cameraButtonTouched));
    libraryController_->setOnPick([weak](const platform::ImageRef& image) {
        if (const auto self = weak.lock())
            self->loadImageFromRoll(image);
    });
    recentController_->setPrintLists(printLists_);
    recentController_->setRemoveButtonImage(SkinResources::image("remove"));
    recentController_->setEmptyNote({"No prints yet", "Press the red shutter button (or Space)",
                                     "and your prints show up here.", "", "Full-size prints go to",
                                     AlbumFolder::shown()});
}
