#pragma once

#include "platform/backend/Script.h"

#include <optional>
#include <string>

// One run of the camera: the application object, its window or headless screen, the camera
// source, the delegate and its main interface, from start to termination.
class CameraRun {
public:
    struct Settings {
        bool headless = false;
        // Headless: the script file, or none for standard input. Window: an optional script.
        std::optional<std::string> script;
        // auto, scene, a camera's name or device node, gst:PIPELINE or a picture file.
        std::string camera = "auto";
        // Window pixels per point (2 unless given); headless, the shots' (1 unless given:
        // the 320 by 480 screen).
        std::optional<double> scale;
        // Whether a live webcam's picture is shown as a mirror; unset, it is.
        std::optional<bool> mirror;
    };

    // Real seconds a camera is given to show its first picture (or fail) before the camera
    // goes on without it: at the start, and at each switch in a headless run.
    static constexpr double kCameraStartSeconds = 10;

    // The exit status: 0 after a normal end, 1 when the run failed, 2 for a malformed script.
    static int run(const Settings& settings);

private:
    // A window was asked for where there is none: the headless demo instead, said so first.
    static int runDemo(const Settings& settings, const std::string& why);
    static int runCamera(const Settings& settings, std::optional<platform::Script> script);
};
