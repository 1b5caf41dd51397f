#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <functional>
#include <memory>

// What the screen does while a print is made and after: the shutter panel slides over the
// picture area, the developing panel spins its wheel, and the finished small print drops out
// through the print strip, which two seconds later leaves the screen with the panel.
//
// Every move sets a translation outright, so however the chains of two prints interleave the
// views end where the last handler put them.
class DevelopingShow : public std::enable_shared_from_this<DevelopingShow> {
public:
    struct Stage {
        // The panel and the developing message go onto the window, the print strip into the
        // camera's body; either may be missing, and then that part is not shown.
        std::shared_ptr<platform::Window> window;
        std::shared_ptr<platform::View> cameraView;
        // The picture of the shutter panel.
        platform::ImageRef shutterPicture;
        // After the print and the panel have left the screen.
        std::function<void()> onRemoved;
    };

    explicit DevelopingShow(Stage stage);

    // The shutter panel slides down over the picture area and the developing panel shows.
    void startDeveloping();
    // The print view waits out of sight above the print strip, which joins the camera.
    void initResult();
    // The wheel stops, the message goes, the panel rises off the top of the screen.
    void endDeveloping();
    // The device vibrates (when canVibrate is off), the print drops through the strip, and
    // two seconds later removeResult runs.
    void dropDownResult(bool canVibrate);
    // The panel and the print strip leave the screen; then onRemoved.
    void removeResult();
    // The small print the strip shows; nullptr shows none.
    void showDevelopedPrint(const platform::ImageRef& print);

    const std::shared_ptr<platform::ImageView>& shutterView() const { return shutterView_; }
    const std::shared_ptr<platform::View>& developingMsgView() const { return developingMsgView_; }
    const std::shared_ptr<platform::ActivityIndicatorView>& activityWheel() const {
        return activityWheel_;
    }
    const std::shared_ptr<platform::ImageView>& developedImage() const { return developedImage_; }
    const std::shared_ptr<platform::ScrollView>& developedView() const { return developedView_; }

private:
    Stage stage_;
    std::shared_ptr<platform::ImageView> developedImage_;
    std::shared_ptr<platform::ScrollView> developedView_;
    std::shared_ptr<platform::ImageView> shutterView_;
    std::shared_ptr<platform::View> developingMsgView_;
    std::shared_ptr<platform::ActivityIndicatorView> activityWheel_;
};
