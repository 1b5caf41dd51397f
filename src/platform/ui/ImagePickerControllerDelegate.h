#pragma once

#include "platform/graphics/Image.h"

#include <map>
#include <string>

namespace platform {

class ImagePickerController;

// What a picker hands over: the picture under kImagePickerControllerOriginalImage.
using MediaInfo = std::map<std::string, ImageRef>;
inline constexpr char kImagePickerControllerOriginalImage[] =
    "UIImagePickerControllerOriginalImage";

// Hears from an image picker: one call per picture taken or picked, or the user's cancel.
// Calls come on the main thread.
class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController& picker,
                                                                    const MediaInfo& info) = 0;
    // Unless overridden the picker is dismissed, animated, as the platform does for a
    // delegate that has nothing to say about a cancel.
    virtual void imagePickerControllerDidCancel(ImagePickerController& picker);
};

} // namespace platform
