#pragma once

#include <cairo.h>

#include <vector>

namespace artwork {

// An axis-aligned rectangle with round corners, in pixels.
struct RoundedBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0, radius = 0;

    // Signed distance in pixels from the box's edge: negative inside, positive outside.
    double distance(double x, double y) const;
    RoundedBox scaled(double factor) const;
    void addPath(cairo_t* cr) const;
};

// The window of one of the three print frames, at a given print side. Every film family and
// the frame-strip outline share these shapes, so the outline the user picks from is exactly
// the window the print gets:
//   0  a square window inside an even border,
//   1  a rounded window with a wide bottom border, as an instant print has,
//   2  a strip of 35 mm film on a paper margin, with sprocket holes above and below.
class FrameShape {
public:
    static constexpr int kCount = 3;

    FrameShape(int frame, double side);

    int frame() const { return frame_; }
    double side() const { return side_; }
    const RoundedBox& window() const { return window_; }
    // The film strip inside the paper margin (frame 2); the whole print otherwise.
    const RoundedBox& strip() const { return strip_; }
    bool hasStrip() const { return frame_ == 2; }
    const std::vector<RoundedBox>& holes() const { return holes_; }

    // Negative inside the window, in pixels.
    double windowDistance(double x, double y) const { return window_.distance(x, y); }
    // Negative inside a sprocket hole; a large positive value where there are no holes.
    double holeDistance(double x, double y) const;
    // Distance from the print's outer edge, in pixels (0 on the edge).
    double edgeDistance(double x, double y) const;

private:
    int frame_;
    double side_;
    RoundedBox window_;
    RoundedBox strip_;
    std::vector<RoundedBox> holes_;
};

// How much of a pixel lies inside a shape, from its signed distance: an antialiased edge one
// pixel wide.
double coverage(double signedDistance);

} // namespace artwork
