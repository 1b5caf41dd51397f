#pragma once

struct SDL_Window;

namespace platform {

// The socket to the display server behind an SDL window. The run loop waits on it so that
// input wakes the window at once, while the loop keeps the one wait that also hears timers
// and work posted from other threads. Only X11 and Wayland have one; elsewhere there is no
// descriptor and the window falls back to looking for input once a frame.
//
// While it exists, an X11 display that goes away ends the camera as a quit does (termination,
// the album's writes finished), said in one line, with exit status 1, where Xlib alone would
// end the process at once.
class SdlDisplayConnection {
public:
    explicit SdlDisplayConnection(SDL_Window* window);
    ~SdlDisplayConnection();
    SdlDisplayConnection(const SdlDisplayConnection&) = delete;
    SdlDisplayConnection& operator=(const SdlDisplayConnection&) = delete;

    // -1 when the display has none.
    int fileDescriptor() const { return fd_; }

private:
    int fd_ = -1;
    // The Wayland client library, loaded only to ask it for the descriptor (SDL loads it the
    // same way, so linking it would add nothing but a dependency).
    void* waylandLibrary_ = nullptr;
    // Xlib, loaded to install the handler for a lost display, and the handler it replaced.
    void* x11Library_ = nullptr;
    void* previousIoErrorHandler_ = nullptr;
};

} // namespace platform
