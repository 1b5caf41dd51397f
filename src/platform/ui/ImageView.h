#pragma once

#include "platform/graphics/Image.h"
#include "platform/graphics/ImageCoverage.h"
#include "platform/ui/View.h"

#include <optional>

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
    // The background when it is opaque, else the rows of the picture that are, less the
    // edge rows that filtering blends with their neighbours.
    Rect opaqueRect() const override;

private:
    const ImageCoverage& coverage() const;
    // How far filtering may carry a pixel when the picture is stretched over the bounds at
    // any window scale, in points.
    double filterReach() const;
    // The part of the bounds the picture can paint anything in (all of them for a picture
    // without transparent edges); empty when it is transparent all over.
    Rect inkedRect() const;

    ImageRef image_;
    // Found at the first need, for the picture shown.
    mutable std::optional<ImageCoverage> coverage_;
};

} // namespace platform
