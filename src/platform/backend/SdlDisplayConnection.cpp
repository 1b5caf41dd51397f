#include "platform/backend/SdlDisplayConnection.h"

// Kept apart from the other window code: the X11 headers that SDL_syswm.h pulls in define
// macros (None, Bool, Status) that clash with ordinary C++ names.
#include "platform/ui/Application.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
using IoErrorHandler = int (*)(Display*);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

// Seconds the album's writes in flight get to finish once the display is gone.
constexpr double kDrainSeconds = 10;

// Xlib calls this when the display server goes away (it was stopped, or the session ended)
// and ends the process if it returns. The camera ends first as a quit ends it, so that what
// the run did is on disk.
extern "C" int displayLost(Display*) {
    std::fputs("morvane: the connection to the display was lost; the camera closes\n", stderr);
    if (Application::exists()) {
        Application& application = Application::shared();
        application.terminate();
        application.runLoop().waitForAsyncWork(kDrainSeconds);
    }
    std::fflush(stderr);
    // Nothing may talk to the display again, as exit handlers might.
    std::_Exit(1);
}
#endif

} // namespace

SdlDisplayConnection::SdlDisplayConnection(SDL_Window* window) {
    if (!window)
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info))
        return;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11 && info.info.x11.display) {
        fd_ = ConnectionNumber(info.info.x11.display);
        // SDL loads Xlib itself; it is asked for the one function rather than linked.
        x11Library_ = SDL_LoadObject("libX11.so.6");
        if (x11Library_) {
            auto setHandler = reinterpret_cast<SetIoErrorHandler>(
                SDL_LoadFunction(x11Library_, "XSetIOErrorHandler"));
            if (setHandler) {
                previousIoErrorHandler_ = reinterpret_cast<void*>(setHandler(displayLost));
            } else {
                SDL_UnloadObject(x11Library_);
                x11Library_ = nullptr;
            }
        }
        return;
    }
#endif
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
    if (info.subsystem == SDL_SYSWM_WAYLAND && info.info.wl.display) {
        waylandLibrary_ = SDL_LoadObject("libwayland-client.so.0");
        if (!waylandLibrary_)
            return;
        using GetFd = int (*)(struct wl_display*);
        auto getFd =
            reinterpret_cast<GetFd>(SDL_LoadFunction(waylandLibrary_, "wl_display_get_fd"));
        if (getFd)
            fd_ = getFd(info.info.wl.display);
    }
#endif
}

SdlDisplayConnection::~SdlDisplayConnection() {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (x11Library_) {
        auto setHandler = reinterpret_cast<SetIoErrorHandler>(
            SDL_LoadFunction(x11Library_, "XSetIOErrorHandler"));
        setHandler(reinterpret_cast<IoErrorHandler>(previousIoErrorHandler_));
        SDL_UnloadObject(x11Library_);
    }
#endif
    if (waylandLibrary_)
        SDL_UnloadObject(waylandLibrary_);
}

} // namespace platform
