#include "platform/camera/SceneSprite.h"

#include <cairo.h>

#include <cmath>

namespace platform {

namespace {

// floor(value / kSteps) and the remainder, for negative places too.
std::pair<int, int> wholeAndStep(double pixels) {
    const auto steps = static_cast<long long>(std::llround(pixels * SceneSprite::kSteps));
    const auto whole = static_cast<long long>(std::floor(double(steps) / SceneSprite::kSteps));
    return {static_cast<int>(whole), static_cast<int>(steps - whole * SceneSprite::kSteps)};
}

} // namespace

SceneSprite::SceneSprite(ScenePainter::SkyPart part, double scaleX, double scaleY)
    : part_(part), scaleX_(scaleX), scaleY_(scaleY) {
    const ScenePainter::Box box = ScenePainter::boundsOf(part);
    // One pixel more on every side than the box: anti-aliasing reaches into it.
    left_ = static_cast<int>(std::floor(box.x0 * scaleX)) - 1;
    top_ = static_cast<int>(std::floor(box.y0 * scaleY)) - 1;
    width_ = static_cast<int>(std::ceil(box.x1 * scaleX)) + 2 - left_;
    height_ = static_cast<int>(std::ceil(box.y1 * scaleY)) + 2 - top_;
}

SceneSprite::~SceneSprite() {
    for (cairo_surface_t* picture : pictures_)
        if (picture)
            cairo_surface_destroy(picture);
}

cairo_surface_t* SceneSprite::picture(int stepX, int stepY) {
    cairo_surface_t*& picture = pictures_[std::size_t(stepY * kSteps + stepX)];
    if (picture)
        return picture;
    picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    cairo_t* cr = cairo_create(picture);
    cairo_translate(cr, double(stepX) / kSteps - left_, double(stepY) / kSteps - top_);
    cairo_scale(cr, scaleX_, scaleY_);
    ScenePainter::paintPart(cr, part_);
    cairo_destroy(cr);
    cairo_surface_flush(picture);
    return picture;
}

void SceneSprite::paint(cairo_t* cr, ScenePainter::Place place) {
    const auto [x, stepX] = wholeAndStep(place.x * scaleX_);
    const auto [y, stepY] = wholeAndStep(place.y * scaleY_);
    cairo_set_source_surface(cr, picture(stepX, stepY), x + left_, y + top_);
    cairo_rectangle(cr, x + left_, y + top_, width_, height_);
    cairo_fill(cr);
}

} // namespace platform
