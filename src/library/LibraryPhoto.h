#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/ImageView.h"

#include <memory>
#include <string_view>

// The photograph picked from the library, as the shutter prints it and the picture area
// previews it: the large square in `originalImage`, its upright preview in `resizedImage`, and
// the view that shows the preview over the picture area in edit mode.
class LibraryPhoto {
public:
    LibraryPhoto();

    // Prepares a picked photograph as the square the shutter prints, its side chosen by the
    // hardware model text, and shows its preview. No picture, or one no square can be cut
    // from, leaves the previous photograph, if any, waiting to be printed.
    void loadImageFromRoll(const platform::ImageRef& image, std::string_view platformString);
    // After its print: nothing left to print, and the preview hidden.
    void printed();

    const platform::ImageRef& originalImage() const { return originalImage_; }
    void setOriginalImage(platform::ImageRef value) { originalImage_ = std::move(value); }
    const platform::ImageRef& resizedImage() const { return resizedImage_; }
    const std::shared_ptr<platform::ImageView>& libraryPhotoView() const {
        return libraryPhotoView_;
    }

private:
    // No picture stands for the platform's empty image.
    platform::ImageRef originalImage_;
    platform::ImageRef resizedImage_;
    std::shared_ptr<platform::ImageView> libraryPhotoView_;
};
