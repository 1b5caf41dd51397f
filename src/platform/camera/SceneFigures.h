#pragma once

typedef struct _cairo cairo_t;

namespace platform {

// The people of the built-in scene, a grown-up and a child, in scene units: their faces give
// the film looks skin tones to work on.
class SceneFigures {
public:
    // Everything of them that stands still.
    static void paintPeople(cairo_t* cr);
    // The grown-up's waving arm and the child's toy balloon at time t (seconds).
    static void paintMovingPeople(cairo_t* cr, double t);
};

} // namespace platform
