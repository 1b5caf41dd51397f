#include "capture/FilmLook.h"

#include "platform/graphics/ImageContext.h"

#include <array>

using platform::BlendMode;

namespace {

using Step = FilmLook::Step;
using Color = FilmLook::Color;

Step draw(BlendMode mode) {
    return Step{Step::Kind::Draw, mode, {}};
}
Step fill(BlendMode mode, Color color) {
    return Step{Step::Kind::Fill, mode, color};
}

} // namespace

FilmLook FilmLook::burnTint(Color tint) {
    return FilmLook({draw(BlendMode::Normal), fill(BlendMode::Overlay, {1.0f, 1.0f, 1.0f, 0.3f}),
                     fill(BlendMode::ColorBurn, tint)});
}

FilmLook FilmLook::tonedMonochrome(Color base) {
    return FilmLook({fill(BlendMode::Normal, base), draw(BlendMode::Luminosity),
                     fill(BlendMode::Overlay, {1.0f, 1.0f, 1.0f, 0.3f}),
                     fill(BlendMode::ColorBurn, {0.77f, 0.77f, 0.77f, 1.0f})});
}

FilmLook FilmLook::hardLightTint(Color tint) {
    return FilmLook({draw(BlendMode::Normal), fill(BlendMode::HardLight, tint)});
}

FilmLook FilmLook::plainCopy() {
    return FilmLook({draw(BlendMode::Normal)});
}

FilmLook FilmLook::hueShift(Color base, Color hue) {
    return FilmLook({fill(BlendMode::Normal, base), draw(BlendMode::Normal),
                     fill(BlendMode::Overlay, {1.0f, 1.0f, 1.0f, 0.1f}),
                     fill(BlendMode::Hue, hue)});
}

const FilmLook& FilmLook::number(int n) {
    // Built on first use and never changed: safe to share between threads doing batch prints.
    // Look n is effectN of the category strip's page n: effect3 is number(3).
    static const std::array<FilmLook, kCount> looks = {
        burnTint({0.67f, 0.77f, 1.0f, 0.7f}),                         // effect1: blue cast
        burnTint({0.77f, 0.77f, 0.77f, 0.7f}),                        // effect2: contrast
        tonedMonochrome({0.0f, 0.0f, 0.0f, 1.0f}),                    // effect3: black and white
        tonedMonochrome({0.84f, 0.75f, 0.57f, 1.0f}),                 // effect4: sepia
        hardLightTint({0.47f, 0.54f, 0.69f, 0.7f}),                   // effect5: slate
        plainCopy(),                                                  // effect6
        tonedMonochrome({0.92f, 0.79f, 0.69f, 1.0f}),                 // effect7: cream
        hueShift({0.5f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}), // effect8: red hue
        plainCopy(),                                                  // effect9
        burnTint({0.77f, 1.0f, 0.6f, 0.7f}),                          // effect10: green cast
    };
    if (n < 1 || n > kCount)
        n = 1;
    return looks[static_cast<std::size_t>(n - 1)];
}

platform::ImageRef FilmLook::apply(const platform::Image& image) const {
    const int width = image.pixelWidth();
    const int height = image.pixelHeight();
    if (width <= 0 || height <= 0)
        return nullptr;

    platform::ImageContext context(width, height);
    if (context.pixelWidth() != width || context.pixelHeight() != height)
        return nullptr;
    drawInto(context, image);
    return context.makeImage();
}

void FilmLook::drawInto(platform::ImageContext& context, const platform::Image& image) const {
    const platform::Rect whole(0, 0, image.pixelWidth(), image.pixelHeight());
    for (const Step& step : steps_) {
        context.setBlendMode(step.mode);
        if (step.kind == Step::Kind::Fill) {
            context.setRGBFillColor(step.color.red, step.color.green, step.color.blue,
                                    step.color.alpha);
            context.fillRect(whole);
        } else {
            // No compensating flip: the row reversal is part of what a look returns.
            context.drawImage(whole, image);
        }
    }
}
