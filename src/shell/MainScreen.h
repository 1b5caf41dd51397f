#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

// The camera's body: the skin, the two lamps, the hit areas of the buttons it paints, the
// category strip in it and the frame strip over the picture area. Later siblings lie above
// earlier ones, so the order views are made and attached here is what stacks the screen.
class MainScreen {
public:
    struct Actions {
        std::function<void()> shutter;
        std::function<void()> camera;
        std::function<void()> library;
        std::function<void()> recent;
    };

    MainScreen(const std::string& skinSuffix, const Actions& actions);

    // The camera lamp lit in camera mode, the library lamp in edit mode.
    void lightLamps(bool isEditMode);

    // The strips put on those pages at once: category 1 to 10, frame 0 to 2.
    void showPages(int categoryNumber, int frameNumber);
    // The pages the strips stand on, by the page rules a print reads them with.
    int categoryNumber() const;
    int frameNumber() const;
    // Called whenever either strip comes to rest after a scroll.
    void setOnStripCameToRest(const std::function<void()>& action);

    const std::shared_ptr<platform::View>& cameraView() const { return cameraView_; }
    const std::shared_ptr<platform::ScrollView>& catScrollView() const { return catScrollView_; }
    const std::shared_ptr<platform::ScrollView>& miniFrameView() const { return miniFrameView_; }
    const std::shared_ptr<platform::ImageView>& cameraLamp() const { return cameraLamp_; }
    const std::shared_ptr<platform::ImageView>& libraryLamp() const { return libraryLamp_; }
    const std::shared_ptr<platform::Button>& shutterButton() const { return shutterButton_; }

private:
    std::shared_ptr<platform::View> cameraView_;
    std::shared_ptr<platform::ScrollView> catScrollView_;
    std::shared_ptr<platform::ScrollView> miniFrameView_;
    std::shared_ptr<platform::ImageView> cameraLamp_;
    std::shared_ptr<platform::ImageView> libraryLamp_;
    std::shared_ptr<platform::Button> shutterButton_;
};
