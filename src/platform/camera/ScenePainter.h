#pragma once

#include <functional>

typedef struct _cairo cairo_t;

namespace platform {

// Paints the built-in scene: a summer meadow with a lemonade stand, two people, a house, trees,
// a hot-air balloon, clouds and a sun. The scene is drawn in its own units, kWidth by kHeight,
// on a context whose transformation the caller has scaled to the target size. It is split
// into layers so that the parts that never move can be painted once and kept.
class ScenePainter {
public:
    static constexpr double kWidth = 480;
    static constexpr double kHeight = 640;

    // The sky gradient and the distant mountains: opaque, never moving.
    static void paintSky(cairo_t* cr);
    // Sun, clouds, birds and the balloon at time t (seconds): everything that moves behind
    // the land.
    static void paintMovingSky(cairo_t* cr, double t);

    // The parts of the moving sky that move without changing shape. Each is drawn about its
    // own origin, which moves; a painter may keep pictures of them.
    enum class SkyPart { Sun, Cloud0, Cloud1, Cloud2, Balloon };
    static constexpr int kSkyPartCount = 5; // numbered 0 to 4, in that order
    struct Place {
        double x, y;
    };
    // A box about a part's origin, in scene units, that holds all it draws.
    struct Box {
        double x0, y0, x1, y1;
    };
    static Place placeOf(SkyPart part, double t);
    static Box boundsOf(SkyPart part);
    static void paintPart(cairo_t* cr, SkyPart part);
    // The moving sky with each part drawn by paintAt, in its place in the order of the sky;
    // the sun's glow and the birds, which change shape as they go, are drawn on cr.
    static void paintMovingSky(cairo_t* cr, double t,
                               const std::function<void(SkyPart, Place)>& paintAt);
    // Hills, trees, house, stand, people and flowers: transparent above the horizon.
    static void paintLand(cairo_t* cr);
    // What moves in front of the land at time t: a waving arm, a toy balloon, a flag.
    static void paintMovingLand(cairo_t* cr, double t);
};

} // namespace platform
