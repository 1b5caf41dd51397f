#include "platform/graphics/CairoBatch.h"

#include "platform/graphics/SurfaceHandle.h"

namespace platform {

namespace {

SurfaceHandle wrapRow(std::uint32_t* pixels, int count) {
    return SurfaceHandle(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, count, 1,
        count * int(sizeof(std::uint32_t))));
}

} // namespace

CairoBatch::CairoBatch(std::vector<SolidStep> steps) : steps_(std::move(steps)) {
    where_.reserve(kBatchPixels);
}

CairoBatch::CairoBatch(cairo_operator_t op) : op_(op) {
    where_.reserve(kBatchPixels);
    sources_.reserve(kBatchPixels);
}

void CairoBatch::paintSteps(std::uint32_t* pixels, int count, const std::vector<SolidStep>& steps) {
    if (count <= 0)
        return;
    const SurfaceHandle target = wrapRow(pixels, count);
    if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS)
        return;
    cairo_t* cr = cairo_create(target.get());
    for (const SolidStep& step : steps) {
        cairo_set_operator(cr, step.op);
        cairo_set_source_rgba(cr, step.color.red, step.color.green, step.color.blue,
                              step.color.alpha);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(target.get());
}

void CairoBatch::flush() {
    const int count = static_cast<int>(where_.size());
    if (count == 0)
        return;
    row_.resize(where_.size());
    for (int i = 0; i < count; ++i)
        row_[i] = *where_[i];
    if (!steps_.empty()) {
        paintSteps(row_.data(), count, steps_);
    } else {
        const SurfaceHandle target = wrapRow(row_.data(), count);
        const SurfaceHandle source = wrapRow(sources_.data(), count);
        if (cairo_surface_status(target.get()) == CAIRO_STATUS_SUCCESS &&
            cairo_surface_status(source.get()) == CAIRO_STATUS_SUCCESS) {
            cairo_t* cr = cairo_create(target.get());
            cairo_set_operator(cr, op_);
            cairo_set_source_surface(cr, source.get(), 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_flush(target.get());
        }
        sources_.clear();
    }
    for (int i = 0; i < count; ++i)
        *where_[i] = row_[i];
    where_.clear();
}

} // namespace platform
