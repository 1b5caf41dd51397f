#include "shell/MainScreen.h"

#include "capture/StripPages.h"
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

std::shared_ptr<Button> makeButton(const Rect& frame, const std::function<void()>& action) {
    auto button = std::make_shared<Button>(frame);
    button->addTarget(action);
    return button;
}

} // namespace

MainScreen::MainScreen(const std::string& skinSuffix, const Actions& actions)
    : cameraView_(std::make_shared<View>(Rect{0, 0, 320, 480})) {
    // The skin, then the two lamps sharing one picture of the lamp.
    cameraView_->addSubview(
        makeImageView({0, 0, 320, 480}, SkinResources::image("frame" + skinSuffix)));
    const platform::ImageRef lamp = SkinResources::image("lamp");
    cameraLamp_ = makeImageView({12, 333, 22, 22}, lamp);
    cameraView_->addSubview(cameraLamp_);
    libraryLamp_ = makeImageView({89, 333, 22, 22}, lamp);
    cameraView_->addSubview(libraryLamp_);
    lightLamps(false);

    // Untitled hit areas over the controls the skin paints.
    shutterButton_ = makeButton({250, 310, 70, 50}, actions.shutter);
    cameraView_->addSubview(shutterButton_);
    cameraView_->addSubview(makeButton({5, 310, 80, 50}, actions.camera));
    cameraView_->addSubview(makeButton({85, 310, 125, 50}, actions.library));
    cameraView_->addSubview(makeButton({20, 445, 280, 35}, actions.recent));

    // The category strip and its ten pages, above everything else in the body.
    catScrollView_ = makeStrip({27, 382, kCategoryPage, 50}, StripPages::kCategoryCount);
    for (int i = 1; i <= StripPages::kCategoryCount; ++i) {
        catScrollView_->addSubview(makeImageView({kCategoryPage * (i - 1), 0, kCategoryPage, 50},
                                                 SkinResources::image("cat" + std::to_string(i))));
    }
    cameraView_->addSubview(catScrollView_);

    // The frame strip: faint outlines over the picture area.
    miniFrameView_ = makeStrip({0, 0, kFramePage, 320}, StripPages::kFrameCount);
    for (int j = 0; j < StripPages::kFrameCount; ++j) {
        miniFrameView_->addSubview(
            makeImageView({kFramePage * j, 0, kFramePage, 320},
                          SkinResources::image("miniFrame" + std::to_string(j))));
    }
    miniFrameView_->setAlpha(0.3);
}

void MainScreen::lightLamps(bool isEditMode) {
    libraryLamp_->setHidden(!isEditMode);
    cameraLamp_->setHidden(isEditMode);
}

void MainScreen::showPages(int categoryNumber, int frameNumber) {
    catScrollView_->setContentOffset({(categoryNumber - 1) * kCategoryPage, 0});
    miniFrameView_->setContentOffset({frameNumber * kFramePage, 0});
}

int MainScreen::categoryNumber() const {
    return StripPages::categoryNumberForOffset(catScrollView_->contentOffset().x);
}

int MainScreen::frameNumber() const {
    return StripPages::frameNumberForOffset(miniFrameView_->contentOffset().x);
}

void MainScreen::setOnStripCameToRest(const std::function<void()>& action) {
    catScrollView_->setOnScrollEnded(action);
    miniFrameView_->setOnScrollEnded(action);
}
