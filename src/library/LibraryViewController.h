#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <string>

// Edit mode's controller: it presents and dismisses the photo-library picker and hands the
// picker's answers on to whoever wired it (`onPick`, `onCancel`). Its own view, from its interface
// file, only carries the picker on and off the screen.
class LibraryViewController : public platform::ViewController,
                              public platform::ImagePickerControllerDelegate {
public:
    explicit LibraryViewController(std::string nibName);
    ~LibraryViewController() override;

    // The picked photograph, and a cancelled pick.
    void setOnPick(std::function<void(const platform::ImageRef&)> value) {
        onPick_ = std::move(value);
    }
    void setOnCancel(std::function<void()> value) { onCancel_ = std::move(value); }

    const std::shared_ptr<platform::ImagePickerController>& rollController() const {
        return rollController_;
    }

    // Makes the photo-library picker, with this controller as its delegate.
    void viewDidLoad() override;
    void viewDidUnload() override {}

    // Presents the picker, animated.
    void loadLibrary();
    // Dismisses it, animated.
    void unloadLibrary();
    // The picker presented and this controller's view slid up over the screen, and the
    // reverse: the picker dismissed and the view slid back below the screen. Half a second
    // each.
    void bringUp();
    void putAway();

    void imagePickerControllerDidCancel(platform::ImagePickerController& picker) override;
    void
    imagePickerControllerDidFinishPickingMediaWithInfo(platform::ImagePickerController& picker,
                                                       const platform::MediaInfo& info) override;

private:
    std::shared_ptr<platform::ImagePickerController> rollController_;
    std::function<void(const platform::ImageRef&)> onPick_;
    std::function<void()> onCancel_;
};
