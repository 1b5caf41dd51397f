#include "platform/ui/ImageView.h"

#include "platform/graphics/ImageContext.h"

namespace platform {

ImageView::ImageView(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
}

void ImageView::setImage(ImageRef image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::draw(ImageContext& context) {
    View::draw(context);
    if (image_)
        context.drawImageUpright(bounds(), *image_);
}

} // namespace platform
