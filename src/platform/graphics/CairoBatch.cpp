#include "platform/graphics/CairoBatch.h"

#include "platform/graphics/SurfaceHandle.h"

namespace platform {

namespace {

SurfaceHandle wrapRow(std::uint32_t* pixels, int count) {
    return SurfaceHandle(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, count, 1,
        count * int(sizeof(std::uint32_t))));
}

void paint(std::uint32_t* pixels, int count, cairo_operator_t op, cairo_pattern_t* source) {
    const SurfaceHandle target = wrapRow(pixels, count);
    if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_t* cr = cairo_create(target.get());
    cairo_set_operator(cr, op);
    cairo_set_source(cr, source);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target.get());
}

} // namespace

CairoBatch::CairoBatch(cairo_operator_t op, const GridColor& color)
    : op_(op), solid_(true), color_(color) {
    where_.reserve(kBatchPixels);
}

CairoBatch::CairoBatch(cairo_operator_t op) : op_(op), solid_(false) {
    where_.reserve(kBatchPixels);
    sources_.reserve(kBatchPixels);
}

void CairoBatch::paintSolid(std::uint32_t* pixels, int count, cairo_operator_t op,
                            const GridColor& color) {
    if (count <= 0)
        return;
    cairo_pattern_t* source =
        cairo_pattern_create_rgba(color.red, color.green, color.blue, color.alpha);
    paint(pixels, count, op, source);
    cairo_pattern_destroy(source);
}

void CairoBatch::flush() {
    const int count = static_cast<int>(where_.size());
    if (count == 0)
        return;
    row_.resize(where_.size());
    for (int i = 0; i < count; ++i)
        row_[i] = *where_[i];
    if (solid_) {
        paintSolid(row_.data(), count, op_, color_);
    } else {
        const SurfaceHandle source = wrapRow(sources_.data(), count);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source.get());
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        paint(row_.data(), count, op_, pattern);
        cairo_pattern_destroy(pattern);
        sources_.clear();
    }
    for (int i = 0; i < count; ++i)
        *where_[i] = row_[i];
    where_.clear();
}

} // namespace platform
