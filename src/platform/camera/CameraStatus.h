#pragma once

#include <string>
#include <vector>

namespace platform {

// What a camera source is doing, as the program tells its user: the words are the program's,
// the facts are these.
struct CameraStatus {
    enum class Kind {
        // A picture is shown: the camera named, the built-in scene or a picture file.
        Live,
        // The camera in use went away or stopped; nothing is shown until another appears.
        Gone,
        // The camera asked for by name is not there; the built-in scene stands in.
        Missing,
        // A camera that was tried did not start; what was shown before stays.
        NotStarted,
    };

    Kind kind = Kind::Live;
    // The camera's name as the user knows it (Missing: the name that was asked for).
    std::string camera;
    // Why, for Gone and NotStarted: one short clause such as "it is busy".
    std::string reason;
    // Missing: the names of the cameras there are.
    std::vector<std::string> available;

    friend bool operator==(const CameraStatus&, const CameraStatus&) = default;
};

} // namespace platform
