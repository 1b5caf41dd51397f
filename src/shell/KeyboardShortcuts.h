#pragma once

#include <string>

class MorvaneAppDelegate;

// The keyboard in the window and in scripts: each key does what a touch on the screen could
// do at that moment, so a key never reaches a control that the gallery or the photo-library
// picker covers.
//   space shutter, c camera button, l library button, r recent button,
//   left/right the category strip one page, up/down the frame strip one page,
//   escape closes the gallery or cancels the photo-library picker,
//   m shows the live picture as a mirror or as the camera sees it.
class KeyboardShortcuts {
public:
    // Seconds a strip takes to move one page.
    static constexpr double kPageDuration = 0.3;

    // True when the key did something.
    static bool handle(MorvaneAppDelegate& delegate, const std::string& key);

    // The page a strip stands nearest to, 0 to pages - 1, for its offset x in points.
    static int nearestPage(double offsetX, double pageWidth, int pages);
};
