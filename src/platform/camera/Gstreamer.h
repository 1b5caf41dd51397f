#pragma once

#include <string>

namespace platform {

// The GStreamer library as the camera sources use it. GStreamer keeps one registry of plugins
// per process; this starts it once, on first use, from any thread.
class Gstreamer {
public:
    // Starts GStreamer if it is not yet started; false with the reason when it cannot be.
    static bool start(std::string& error);
    // True when an element of that factory name can be made (its plugin is installed).
    static bool hasElement(const std::string& factoryName);
};

} // namespace platform
