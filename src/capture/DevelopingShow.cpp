#include "capture/DevelopingShow.h"

#include "platform/ui/SystemSound.h"
#include "platform/ui/Timer.h"

using platform::AffineTransform;
using platform::Rect;
using platform::View;

namespace {

constexpr double kShutterTravel = 320;      // points
constexpr double kHiddenPrintOffset = -250; // points: the print wholly above its strip
constexpr double kDroppedPrintOffset = 85;  // points: wholly below the strip
constexpr double kSlideDuration = 0.5;      // seconds
constexpr double kDropDuration = 1.5;       // seconds
constexpr double kRemovalDelay = 2.0;       // seconds

void slideTo(const std::shared_ptr<View>& view, double y) {
    View::animate(kSlideDuration,
                  [&] { view->setTransform(AffineTransform::makeTranslation(0, y)); });
}

} // namespace

DevelopingShow::DevelopingShow(Stage stage) : stage_(std::move(stage)) {
    // The print strip: a clipping band through which the developed print drops.
    developedView_ = std::make_shared<platform::ScrollView>(Rect{0, 365, 320, 85});
    developedView_->setUserInteractionEnabled(false);
    developedView_->setBounds({0, 0, 320, 85});
    developedImage_ = std::make_shared<platform::ImageView>(Rect{35, 0, 250, 250});
    developedView_->addSubview(developedImage_);

    // The panel starts above the screen, not attached until the shutter fires.
    shutterView_ = std::make_shared<platform::ImageView>(Rect{0, -320, 320, 320});
    shutterView_->setImage(stage_.shutterPicture);

    developingMsgView_ = std::make_shared<View>(Rect{97, 97, 126, 126});
    activityWheel_ = std::make_shared<platform::ActivityIndicatorView>(Rect{50, 50, 25, 25});
    activityWheel_->setActivityIndicatorViewStyle(1);
    activityWheel_->setAutoresizingMask(View::FlexibleLeftMargin | View::FlexibleRightMargin |
                                        View::FlexibleTopMargin | View::FlexibleBottomMargin);
    developingMsgView_->addSubview(activityWheel_);
}

void DevelopingShow::startDeveloping() {
    if (stage_.window)
        stage_.window->addSubview(shutterView_);
    // After a first print the panel waits 320 points above its rest, so it travels twice as
    // far in the same half second.
    slideTo(shutterView_, kShutterTravel);
    activityWheel_->startAnimating();
    if (stage_.window)
        stage_.window->addSubview(developingMsgView_);
}

void DevelopingShow::initResult() {
    developedImage_->setTransform(AffineTransform::makeTranslation(0, kHiddenPrintOffset));
    if (stage_.cameraView)
        stage_.cameraView->addSubview(developedView_);
}

void DevelopingShow::endDeveloping() {
    activityWheel_->stopAnimating();
    developingMsgView_->removeFromSuperview();
    // Off the top of the screen, not back to rest: the next print starts from there.
    slideTo(shutterView_, -kShutterTravel);
}

void DevelopingShow::dropDownResult(bool canVibrate) {
    if (!canVibrate)
        platform::SystemSound::play(platform::SystemSound::kVibrate);
    View::animate(kDropDuration, [&] {
        developedImage_->setTransform(AffineTransform::makeTranslation(0, kDroppedPrintOffset));
    });
    // Never cancelled: a print started in the meantime loses its panel and strip when it
    // fires.
    platform::Timer::scheduledTimer(kRemovalDelay, [weak = weak_from_this()] {
        if (auto self = weak.lock())
            self->removeResult();
    });
}

void DevelopingShow::removeResult() {
    shutterView_->removeFromSuperview();
    developedView_->removeFromSuperview();
    if (stage_.onRemoved)
        stage_.onRemoved();
}

void DevelopingShow::showDevelopedPrint(const platform::ImageRef& print) {
    developedImage_->setImage(print);
}
