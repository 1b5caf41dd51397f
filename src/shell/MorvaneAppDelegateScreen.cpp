#include "shell/MorvaneAppDelegate.h"

#include "capture/StripPages.h"
#include "library/LibraryViewController.h"
#include "prints/RecentViewController.h"
#include "shell/SkinResources.h"

using platform::Button;
using platform::ImageView;
using platform::Rect;
using platform::ScrollView;
using platform::View;

namespace {

constexpr double kCategoryPage = StripPages::kCategoryPageWidth;
constexpr double kFramePage = StripPages::kFramePageWidth;

// The two paging strips share their settings; only the frame and the page count differ.
std::shared_ptr<ScrollView> makeStrip(const Rect& frame, int pages) {
    auto strip = std::make_shared<ScrollView>(frame);
    strip->setPagingEnabled(true);
    strip->setShowsHorizontalScrollIndicator(false);
    strip->setShowsVerticalScrollIndicator(false);
    strip->setScrollsToTop(false);
    strip->setScrollEnabled(true);
    strip->setUserInteractionEnabled(true);
    strip->setContentSize({frame.width() * pages, frame.height()});
    return strip;
}

std::shared_ptr<ImageView> makeImageView(const Rect& frame, const platform::ImageRef& image) {
    auto view = std::make_shared<ImageView>(frame);
    view->setImage(image);
    return view;
}

} // namespace

std::function<void()> MorvaneAppDelegate::actionFor(void (MorvaneAppDelegate::*operation)()) {
    // Weak: the record owns the buttons, and a button must not keep its owner alive.
    return [weak = weak_from_this(), operation] {
        if (auto self = weak.lock())
            ((*self).*operation)();
    };
}

void MorvaneAppDelegate::buildMainScreen(const std::string& skinSuffix) {
    // The order of creation and attachment below is what stacks the screen: later siblings
    // lie above earlier ones.

    // 1. The category strip and its ten pages; attached to cameraView last of all (step 15).
    catScrollView_ = makeStrip({27, 382, kCategoryPage, 50}, StripPages::kCategoryCount);
    for (int i = 1; i <= StripPages::kCategoryCount; ++i) {
        catScrollView_->addSubview(makeImageView({kCategoryPage * (i - 1), 0, kCategoryPage, 50},
                                                 SkinResources::image("cat" + std::to_string(i))));
    }

    // 2. The print strip: a clipping band through which the developed print drops.
    developedView_ = std::make_shared<ScrollView>(Rect{0, 365, 320, 85});
    developedView_->setUserInteractionEnabled(false);
    developedView_->setBounds({0, 0, 320, 85});
    developedImage_ = std::make_shared<ImageView>(Rect{35, 0, 250, 250});
    developedView_->addSubview(developedImage_);

    // 3, 4.
    shutterView_ =
        makeImageView({0, -320, 320, 320}, SkinResources::image("background" + skinSuffix));
    cameraView_ = std::make_shared<View>(Rect{0, 0, 320, 480});

    // 5. The two secondary controllers, from their interface files.
    libraryController_ = std::make_shared<LibraryViewController>("LibraryViewController");
    recentController_ = std::make_shared<RecentViewController>("RecentViewController");

    // 6.
    libraryPhotoView_ = std::make_shared<ImageView>(Rect{0, 0, 320, 320});
    libraryPhotoView_->setHidden(true);

    // 7 to 9. The skin, then the two lamps sharing one picture of the lamp.
    cameraView_->addSubview(
        makeImageView({0, 0, 320, 480}, SkinResources::image("frame" + skinSuffix)));
    const platform::ImageRef lamp = SkinResources::image("lamp");
    cameraLamp_ = makeImageView({12, 333, 22, 22}, lamp);
    cameraView_->addSubview(cameraLamp_);
    cameraLamp_->setHidden(false);
    libraryLamp_ = makeImageView({89, 333, 22, 22}, lamp);
    cameraView_->addSubview(libraryLamp_);
    libraryLamp_->setHidden(true);

    // 10, 11. Untitled hit areas over the controls the skin paints.
    shutterButton_ = std::make_shared<Button>(Rect{250, 310, 70, 50});
    shutterButton_->addTarget(actionFor(&MorvaneAppDelegate::shutterButtonTouched));
    cameraView_->addSubview(shutterButton_);
    const std::pair<Rect, void (MorvaneAppDelegate::*)()> buttons[] = {
        {{5, 310, 80, 50}, &MorvaneAppDelegate::cameraButtonTouched},
        {{85, 310, 125, 50}, &MorvaneAppDelegate::libraryButtonTouched},
        {{20, 445, 280, 35}, &MorvaneAppDelegate::recentButtonTouched},
    };
    for (const auto& [frame, operation] : buttons) {
        auto button = std::make_shared<Button>(frame);
        button->addTarget(actionFor(operation));
        cameraView_->addSubview(button);
    }

    // 12. The frame strip: faint outlines over the picture area.
    miniFrameView_ = makeStrip({0, 0, kFramePage, 320}, StripPages::kFrameCount);
    for (int j = 0; j < StripPages::kFrameCount; ++j) {
        miniFrameView_->addSubview(
            makeImageView({kFramePage * j, 0, kFramePage, 320},
                          SkinResources::image("miniFrame" + std::to_string(j))));
    }
    miniFrameView_->setAlpha(0.3);

    // 13, 14. Onto the window; the library and the gallery wait just below the screen.
    if (window_) {
        window_->addSubview(libraryPhotoView_);
        window_->addSubview(cameraView_);
        window_->addSubview(miniFrameView_);
        window_->addSubview(libraryController_->view());
        window_->addSubview(recentController_->view());
    }
    const auto belowScreen = platform::AffineTransform::makeTranslation(0, 480);
    libraryController_->view()->setTransform(belowScreen);
    recentController_->view()->setTransform(belowScreen);

    // 15.
    cameraView_->addSubview(catScrollView_);

    // 16, 17. The developing panel, kept off screen until the shutter fires.
    developingMsgView_ = std::make_shared<View>(Rect{97, 97, 126, 126});
    activityWheel_ = std::make_shared<platform::ActivityIndicatorView>(Rect{50, 50, 25, 25});
    activityWheel_->setActivityIndicatorViewStyle(1);
    activityWheel_->setAutoresizingMask(View::FlexibleLeftMargin | View::FlexibleRightMargin |
                                        View::FlexibleTopMargin | View::FlexibleBottomMargin);
    developingMsgView_->addSubview(activityWheel_);
}
