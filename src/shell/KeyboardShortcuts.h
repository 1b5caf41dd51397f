#pragma once

#include <string>
#include <vector>

class MorvaneAppDelegate;

// The camera's keys, in the window and in scripts. A key acts only on what is in front, as a
// finger could: a picker or an alert in front takes every key before the camera hears of it
// (Application::key); behind those, the gallery covers the camera's controls, and the
// photo-library picker covers them while it slides in and out.
//   space shutter, c camera button, l library button, r recent button,
//   left/right the category strip one page, up/down the frame strip one page,
//   escape closes the gallery or cancels the photo-library picker,
//   m shows the live picture as a mirror or as the camera sees it (over the gallery, too:
//   it is a way of looking, not a touch),
//   v switches to the next camera (the choice is not kept).
// Return answers alerts only, so the camera has nothing for it.
class KeyboardShortcuts {
public:
    // Seconds a strip takes to move one page.
    static constexpr double kPageDuration = 0.3;

    // True when the key did something.
    static bool handle(MorvaneAppDelegate& delegate, const std::string& key);
    // Every key above and Return, the names a script may press; the window names all other
    // keys too, and they do nothing.
    static const std::vector<std::string>& keyNames();

    // The page a strip stands nearest to, 0 to pages - 1, for its offset x in points.
    static int nearestPage(double offsetX, double pageWidth, int pages);
};
