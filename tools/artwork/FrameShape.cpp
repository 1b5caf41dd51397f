#include "FrameShape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace artwork {

double RoundedBox::distance(double x, double y) const {
    const double cx = (x0 + x1) / 2;
    const double cy = (y0 + y1) / 2;
    const double qx = std::fabs(x - cx) - (x1 - x0) / 2 + radius;
    const double qy = std::fabs(y - cy) - (y1 - y0) / 2 + radius;
    const double ox = std::max(qx, 0.0);
    const double oy = std::max(qy, 0.0);
    const double outside = std::sqrt(ox * ox + oy * oy);
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

RoundedBox RoundedBox::scaled(double factor) const {
    return {x0 * factor, y0 * factor, x1 * factor, y1 * factor, radius * factor};
}

void RoundedBox::addPath(cairo_t* cr) const {
    const double r = std::min({radius, (x1 - x0) / 2, (y1 - y0) / 2});
    cairo_new_sub_path(cr);
    if (r <= 0) {
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
        return;
    }
    cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

FrameShape::FrameShape(int frame, double side)
    : frame_(std::clamp(frame, 0, kCount - 1)), side_(side) {
    const double s = side;
    strip_ = {0, 0, s, s, 0};
    switch (frame_) {
    case 0:
        window_ = {0.06 * s, 0.06 * s, 0.94 * s, 0.94 * s, 0};
        break;
    case 1:
        // The wide bottom border is where an instant print is held and written on.
        window_ = {0.065 * s, 0.065 * s, 0.935 * s, 0.80 * s, 0.035 * s};
        break;
    default: {
        const double margin = 0.03 * s;
        strip_ = {margin, margin, s - margin, s - margin, 0.004 * s};
        window_ = {0.075 * s, 0.175 * s, 0.925 * s, 0.825 * s, 0.012 * s};
        // Fifteen holes to a row, evenly spaced and centred, midway between the paper
        // margin and the picture, as on a strip of 35 mm film.
        const double pitch = 0.0625 * s;
        const double w = 0.030 * s;
        const double h = 0.044 * s;
        const double topRow = (margin + window_.y0) / 2;
        const double bottomRow = s - topRow;
        for (int i = 0; i < 15; ++i) {
            const double cx = pitch * (i + 1);
            for (double cy : {topRow, bottomRow}) {
                holes_.push_back({cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, 0.007 * s});
            }
        }
        break;
    }
    }
}

double FrameShape::holeDistance(double x, double y) const {
    double best = std::numeric_limits<double>::max();
    if (holes_.empty()) {
        return best;
    }
    // Holes lie in two rows of evenly spaced columns, stored column by column, top row first:
    // only the two columns either side of x in the row nearer y can be the closest.
    const std::size_t columns = holes_.size() / 2;
    const double pitch = holes_[2].x0 - holes_[0].x0;
    const double first = (holes_[0].x0 + holes_[0].x1) / 2;
    const auto nearest = static_cast<long>(std::floor((x - first) / pitch));
    const std::size_t row = y < side_ / 2 ? 0 : 1;
    for (long column = nearest; column <= nearest + 1; ++column) {
        if (column >= 0 && static_cast<std::size_t>(column) < columns) {
            best =
                std::min(best, holes_[static_cast<std::size_t>(column) * 2 + row].distance(x, y));
        }
    }
    return best;
}

double FrameShape::edgeDistance(double x, double y) const {
    return std::min({x, y, side_ - x, side_ - y});
}

double coverage(double signedDistance) {
    return std::clamp(0.5 - signedDistance, 0.0, 1.0);
}

} // namespace artwork
