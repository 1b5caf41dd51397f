#pragma once

#include "platform/backend/SdlPresenter.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

namespace platform {

// One SDL window and what shows in it: the screen's picture drawn one to one (or stretched)
// over a rectangle, black everywhere else, with only the parts that changed handed on where
// the video driver allows (see SdlPresenter). It starts SDL's video when it opens and ends it
// when it closes. Main thread only.
class SdlScreen {
public:
    SdlScreen();
    ~SdlScreen();
    SdlScreen(const SdlScreen&) = delete;
    SdlScreen& operator=(const SdlScreen&) = delete;

    // Opens a hidden, resizable window of about width by height window units, made smaller
    // to fit the desktop if needed. False with a message naming SDL's reason.
    bool open(const std::string& title, int width, int height, std::string& error);
    void close();
    bool isOpen() const { return window_ != nullptr; }
    SDL_Window* window() const { return window_; }

    void show();
    void resize(int width, int height);
    // The window over the whole display (the desktop's resolution kept), or back as it was.
    // False when the window system refused.
    bool setFullScreen(bool fullScreen);
    bool isFullScreen() const;
    // A picture with straight or premultiplied alpha; shown by the desktop beside the title.
    void setIcon(const Image& icon);

    // The window in window units (what mouse positions use) and in drawable pixels.
    Size windowSize() const;
    Size drawableSize() const;

    // Takes the parts `boxes` (whole pixels) of the screen's picture, width × height opaque
    // ARGB32 words `stride` bytes apart; `smooth` when it will be shown at another size than
    // its own. The pixels must stay valid until the next call: showing all of the picture
    // again (after a resize, or while it shakes) reads them. False when SDL could not take it.
    bool updatePicture(const std::uint8_t* pixels, int stride, int width, int height,
                       const std::vector<Rect>& boxes, bool smooth);
    // Puts the picture over `target` (drawable pixels, whole numbers), black elsewhere; not
    // yet shown.
    void render(const Rect& target);
    // Shows what was rendered last.
    void present();
    // What was rendered last, bars included, in drawable pixels.
    ImageRef readPixels();

private:
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    std::unique_ptr<SdlPresenter> presenter_;
    // The window's size before it went full screen.
    int windowedWidth_ = 0;
    int windowedHeight_ = 0;
};

} // namespace platform
