#include "platform/graphics/CairoOperator.h"

namespace platform {

cairo_operator_t cairoOperatorFor(BlendMode mode) {
    switch (mode) {
    case BlendMode::Normal:
        return CAIRO_OPERATOR_OVER;
    case BlendMode::Multiply:
        return CAIRO_OPERATOR_MULTIPLY;
    case BlendMode::Screen:
        return CAIRO_OPERATOR_SCREEN;
    case BlendMode::Overlay:
        return CAIRO_OPERATOR_OVERLAY;
    case BlendMode::Darken:
        return CAIRO_OPERATOR_DARKEN;
    case BlendMode::Lighten:
        return CAIRO_OPERATOR_LIGHTEN;
    case BlendMode::ColorDodge:
        return CAIRO_OPERATOR_COLOR_DODGE;
    case BlendMode::ColorBurn:
        return CAIRO_OPERATOR_COLOR_BURN;
    case BlendMode::SoftLight:
        return CAIRO_OPERATOR_SOFT_LIGHT;
    case BlendMode::HardLight:
        return CAIRO_OPERATOR_HARD_LIGHT;
    case BlendMode::Difference:
        return CAIRO_OPERATOR_DIFFERENCE;
    case BlendMode::Exclusion:
        return CAIRO_OPERATOR_EXCLUSION;
    case BlendMode::Hue:
        return CAIRO_OPERATOR_HSL_HUE;
    case BlendMode::Saturation:
        return CAIRO_OPERATOR_HSL_SATURATION;
    case BlendMode::Color:
        return CAIRO_OPERATOR_HSL_COLOR;
    case BlendMode::Luminosity:
        return CAIRO_OPERATOR_HSL_LUMINOSITY;
    case BlendMode::Clear:
        return CAIRO_OPERATOR_CLEAR;
    case BlendMode::Copy:
        return CAIRO_OPERATOR_SOURCE;
    case BlendMode::SourceIn:
        return CAIRO_OPERATOR_IN;
    case BlendMode::SourceOut:
        return CAIRO_OPERATOR_OUT;
    case BlendMode::SourceAtop:
        return CAIRO_OPERATOR_ATOP;
    case BlendMode::DestinationOver:
        return CAIRO_OPERATOR_DEST_OVER;
    case BlendMode::DestinationIn:
        return CAIRO_OPERATOR_DEST_IN;
    case BlendMode::DestinationOut:
        return CAIRO_OPERATOR_DEST_OUT;
    case BlendMode::DestinationAtop:
        return CAIRO_OPERATOR_DEST_ATOP;
    case BlendMode::Xor:
        return CAIRO_OPERATOR_XOR;
    case BlendMode::PlusDarker:
        return CAIRO_OPERATOR_OVER;
    case BlendMode::PlusLighter:
        return CAIRO_OPERATOR_ADD;
    }
    return CAIRO_OPERATOR_OVER;
}

bool isUnboundedOperator(cairo_operator_t op) {
    switch (op) {
    case CAIRO_OPERATOR_IN:
    case CAIRO_OPERATOR_OUT:
    case CAIRO_OPERATOR_DEST_IN:
    case CAIRO_OPERATOR_DEST_ATOP:
        return true;
    default:
        return false;
    }
}

void fillWithOperator(cairo_t* cr, cairo_operator_t op) {
    cairo_set_operator(cr, op);
    if (!isUnboundedOperator(op)) {
        cairo_fill_preserve(cr);
        return;
    }
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_paint(cr);
    cairo_restore(cr);
}

void strokeWithOperator(cairo_t* cr, cairo_operator_t op, cairo_surface_t* target) {
    cairo_set_operator(cr, op);
    if (!isUnboundedOperator(op)) {
        cairo_stroke_preserve(cr);
        return;
    }
    // A stroke is no region to clip to, so the result is built whole and let through the
    // stroke's coverage: target · (1 − coverage) + op(source, target) · coverage.
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_stroke(cr);
    cairo_pattern_t* coverage = cairo_pop_group(cr);

    cairo_pattern_t* source = cairo_pattern_reference(cairo_get_source(cr));
    cairo_push_group(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, target, 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, op);
    cairo_set_source(cr, source);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_mask(cr, coverage);
    cairo_restore(cr);

    cairo_set_source(cr, source);
    cairo_pattern_destroy(source);
    cairo_pattern_destroy(coverage);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

} // namespace platform
