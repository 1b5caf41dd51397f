#pragma once

#include "platform/camera/ScenePainter.h"

#include <array>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

// A part of the scene's sky that only moves, kept as pictures at one scale so that a preview
// frame copies it in place of drawing it again. Its place is snapped to a quarter pixel: a
// picture for each of the sixteen quarter-pixel offsets is drawn the first time that offset
// comes up, and then only copied on whole pixels, so the part glides as smoothly as when it is
// drawn, and never lies more than an eighth of a pixel from where a drawing would put it.
class SceneSprite {
public:
    // scaleX and scaleY: device pixels per scene unit.
    SceneSprite(ScenePainter::SkyPart part, double scaleX, double scaleY);
    ~SceneSprite();
    SceneSprite(const SceneSprite&) = delete;
    SceneSprite& operator=(const SceneSprite&) = delete;

    // Composites the part over cr, whose transformation must be the identity, with its origin
    // at place (scene units).
    void paint(cairo_t* cr, ScenePainter::Place place);

    static constexpr int kSteps = 4; // per pixel

private:
    cairo_surface_t* picture(int stepX, int stepY);

    ScenePainter::SkyPart part_;
    double scaleX_, scaleY_;
    // The pictures' top-left corner, relative to the whole pixel the origin is snapped to.
    int left_, top_, width_, height_;
    std::array<cairo_surface_t*, kSteps * kSteps> pictures_{};
};

} // namespace platform
