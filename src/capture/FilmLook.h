#pragma once

#include "platform/graphics/BlendMode.h"
#include "platform/graphics/Image.h"

#include <vector>

namespace platform {
class ImageContext;
}

// A colour treatment for a print: a short, fixed recipe of full-frame fills and one full-frame
// draw of the picture, each under a blend mode. A look is data, so the ten looks are five
// recipes with different colours rather than ten hand-written drawing routines.
class FilmLook {
public:
    // Colour components from 0 to 1 in device RGB. Single precision on purpose: the looks
    // were tuned with the nearest floats to their decimal constants.
    struct Color {
        float red = 0;
        float green = 0;
        float blue = 0;
        float alpha = 1;
        friend bool operator==(const Color&, const Color&) = default;
    };

    struct Step {
        enum class Kind { Fill, Draw };
        Kind kind = Kind::Draw;
        platform::BlendMode mode = platform::BlendMode::Normal;
        Color color; // fills only
        friend bool operator==(const Step&, const Step&) = default;
    };

    static constexpr int kCount = 10;

    // The picture drawn normally, lifted by a white overlay, then colour-burned by a
    // translucent tint.
    static FilmLook burnTint(Color tint);
    // An opaque base colour takes the picture's lightness, then the same lift and an opaque
    // grey burn.
    static FilmLook tonedMonochrome(Color base);
    // The picture under one translucent hard-light tint.
    static FilmLook hardLightTint(Color tint);
    // The picture as it is; the film frame gives these categories their character.
    static FilmLook plainCopy();
    // The picture over a dark base, lightly lifted, then every coloured pixel turned to the
    // hue of the given colour.
    static FilmLook hueShift(Color base, Color hue);

    // Look 1 to 10, built once. A number outside that range gives look 1, the look the
    // category strip falls back to.
    static const FilmLook& number(int n);

    const std::vector<Step>& steps() const { return steps_; }

    // The treated picture, of the input's stored pixel size, its orientation flag ignored.
    // Rows come out reversed (output row i is input row H-1-i), as a plain draw into a fresh
    // context gives them; the print pipeline counts on exactly this one reversal. Returns
    // nullptr for a picture without pixels or when no context can be made.
    platform::ImageRef apply(const platform::Image& image) const;
    // The same steps drawn into a context of the image's pixel size that is blank and
    // untransformed: it then holds exactly the pixels apply() returns.
    void drawInto(platform::ImageContext& context, const platform::Image& image) const;

private:
    explicit FilmLook(std::vector<Step> steps) : steps_(std::move(steps)) {}

    std::vector<Step> steps_;
};
