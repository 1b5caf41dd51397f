#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

namespace platform {

// Shows a picture upright (after its orientation flag) stretched over its bounds. Takes no
// touches unless told to, so touches fall through to what holds it.
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {});

    const ImageRef& image() const { return image_; }
    // Null shows nothing.
    void setImage(ImageRef image);

    void draw(ImageContext& context) override;

private:
    ImageRef image_;
};

} // namespace platform
