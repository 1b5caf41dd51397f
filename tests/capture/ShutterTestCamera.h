#pragma once

#include "capture/MorvaneViewController.h"
#include "library/LibraryViewController.h"
#include "support/LaunchedCamera.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/SystemSound.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

// A launched camera with its live picture on screen, as the program starts it, and ways to
// look at everything the shutter moves.
class ShutterTestCamera : public ::testing::Test {
protected:
    static constexpr platform::Point kShutterButton{285, 335};
    static constexpr platform::Point kCameraButton{45, 340};
    static constexpr platform::Point kLibraryButton{150, 340};

    void SetUp() override {
        camera_.launch();
        // The application's run shows the root view once launch is done.
        delegate().viewController()->viewDidAppear(false);
    }

    MorvaneAppDelegate& delegate() { return camera_.delegate(); }
    DevelopingShow& show() { return *delegate().developingShow(); }
    MorvaneViewController& controller() { return *delegate().viewController(); }
    double now() { return camera_.application().runLoop().now(); }
    void runUntil(double time) { camera_.application().runLoop().runUntil(time); }
    platform::ImageView& developedImage() { return *show().developedImage(); }
    platform::View& developedView() { return *show().developedView(); }

    double shutterY() { return show().shutterView()->transform().ty; }
    double shutterDrawnY() { return show().shutterView()->presentationTransform().ty; }
    double printY() { return developedImage().transform().ty; }
    double printDrawnY() { return developedImage().presentationTransform().ty; }
    bool shutterInWindow() { return show().shutterView()->superview() == delegate().window(); }
    bool developingShown() {
        return show().developingMsgView()->superview() == delegate().window() &&
               show().activityWheel()->isAnimating();
    }
    bool stripShown() {
        return developedView().superview() == delegate().mainScreen()->cameraView();
    }
    int vibrations() { return platform::SystemSound::vibrationCount(); }

    // Presses the shutter and runs until the album has answered; returns that moment.
    double pressAndAwaitCompletion() {
        delegate().shutterButtonTouched();
        EXPECT_TRUE(delegate().isSaving());
        for (int step = 0; step < 500 && delegate().isSaving(); ++step)
            camera_.runFor(0.001);
        EXPECT_FALSE(delegate().isSaving());
        return now();
    }

    // Small prints in Documents (the full-size ones start with "big_").
    std::set<std::string> smallPrintFiles() {
        std::set<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(home_.documents(), ignored)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() == ".jpg" && name.rfind("big_", 0) != 0)
                names.insert(name);
        }
        return names;
    }

    // Edit mode with a library photograph ready to print, as a pick leaves it.
    void chooseLibraryPhotograph(const platform::ImageRef& photograph) {
        delegate().libraryButtonTouched();
        camera_.runFor(1);
        delegate().libraryPhoto()->setOriginalImage(photograph);
        delegate().libraryPhoto()->libraryPhotoView()->setHidden(false);
    }

    static platform::ImageRef squarePicture(int side) {
        platform::ImageContext context(side, side);
        context.setRGBFillColor(0.2, 0.5, 0.8, 1);
        context.fillRect({0, 0, double(side), double(side)});
        context.setRGBFillColor(0.9, 0.7, 0.1, 1);
        context.fillRect({0, 0, side / 2.0, side / 3.0});
        return context.makeImage();
    }

    TempHome home_;
    LaunchedCamera camera_;
};
