#pragma once

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
    // Hills, trees, house, stand, people and flowers: transparent above the horizon.
    static void paintLand(cairo_t* cr);
    // What moves in front of the land at time t: a waving arm, a toy balloon, a flag.
    static void paintMovingLand(cairo_t* cr, double t);
};

} // namespace platform
