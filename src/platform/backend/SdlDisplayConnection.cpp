#include "platform/backend/SdlDisplayConnection.h"

// Kept apart from the other window code: the X11 headers that SDL_syswm.h pulls in define
// macros (None, Bool, Status) that clash with ordinary C++ names.
#include <SDL.h>
#include <SDL_syswm.h>

namespace platform {

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
    if (waylandLibrary_)
        SDL_UnloadObject(waylandLibrary_);
}

} // namespace platform
