#include "platform/camera/Gstreamer.h"

#include <gst/gst.h>

#include <cstdlib>

namespace platform {

bool Gstreamer::start(std::string& error) {
    // GStreamer's own initialisation is locked and remembers itself, so no flag is kept here.
    if (gst_is_initialized())
        return true;
    // libcamera writes informational lines to standard error by default; the camera says what
    // matters itself. A user who sets the levels keeps them.
    setenv("LIBCAMERA_LOG_LEVELS", "*:ERROR", 0);
    GError* failure = nullptr;
    if (gst_init_check(nullptr, nullptr, &failure))
        return true;
    error = failure ? failure->message : "GStreamer cannot start";
    if (failure)
        g_error_free(failure);
    return false;
}

bool Gstreamer::hasElement(const std::string& factoryName) {
    std::string ignored;
    if (!start(ignored))
        return false;
    GstElementFactory* factory = gst_element_factory_find(factoryName.c_str());
    if (!factory)
        return false;
    gst_object_unref(factory);
    return true;
}

} // namespace platform
