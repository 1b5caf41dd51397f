#pragma once

#include <string>
#include <vector>

class MorvaneAppDelegate;

// The camera's keys, in the window and in scripts: one table, which also writes the keyboard
// part of the manual (--help) and the keys overlay. A key acts only on what is in front, as a
// finger could: behind an alert only the window's own keys (quit, full screen, the overlay)
// act, as Escape and Return are the alert's (Application::key); a picker in front leaves the
// camera's keys alone but pages its photos; the gallery covers the camera's controls, and the
// photo-library picker covers them while it slides in and out.
class KeyboardShortcuts {
public:
    // Seconds a strip takes to move one page.
    static constexpr double kPageDuration = 0.3;
    // What the mouse does beside the keys, for the overlay's readers.
    static constexpr const char* kStrips =
        "Drag or scroll the film strip to choose a look, and the picture to choose a frame.";

    // True when the key did something.
    static bool handle(MorvaneAppDelegate& delegate, const std::string& key);
    // Every key in the table, the names a script may press; the window names all other keys
    // too, and they do nothing.
    static const std::vector<std::string>& keyNames();

    // One line of the keys' list: the keys as printed on them ("Left / Right") and what they do.
    struct GuideLine {
        std::string keys;
        std::string does;
    };
    static std::vector<GuideLine> guide();
    // The list as the manual prints it: a line each, the keys in a column of their own,
    // indented by two.
    static std::string manual();

    // The page a strip stands nearest to, 0 to pages - 1, for its offset x in points.
    static int nearestPage(double offsetX, double pageWidth, int pages);
};
