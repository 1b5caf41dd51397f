#pragma once

#include "platform/backend/SdlPresenter.h"

#include <memory>

struct SDL_Window;
struct SDL_Surface;
struct SDL_Rect;

namespace platform {

// The picture copied into the window's own surface, and only the rectangles that changed
// handed to the display: a live picture in part of the screen moves no more than that part.
class SdlSurfacePresenter : public SdlPresenter {
public:
    // Null when the window has no surface this presenter can write (then use the texture).
    static std::unique_ptr<SdlSurfacePresenter> make(SDL_Window* window);

    Size drawableSize() const override;
    bool update(const std::uint8_t* pixels, int stride, int width, int height,
                const std::vector<Rect>& boxes, bool smooth) override;
    void render(const Rect& target) override;
    void present() override;
    ImageRef readPixels() override;

private:
    explicit SdlSurfacePresenter(SDL_Window* window) : window_(window) {}
    // Copies a box of the picture (picture pixels) to its place in the surface.
    void copy(SDL_Surface* surface, const Rect& box);
    void stretch(SDL_Surface* surface);

    SDL_Window* window_;
    const std::uint8_t* pixels_ = nullptr;
    int stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool smooth_ = false;
    // Changed since the last render; all of it when `whole_`.
    std::vector<Rect> pending_;
    bool whole_ = true;
    // Where the picture was put last, in which surface.
    const SDL_Surface* shownSurface_ = nullptr;
    Rect shownTarget_;
    int shownWidth_ = 0;
    int shownHeight_ = 0;
    // What present() hands to the display; all of the window when `updateAll_`.
    std::vector<Rect> updates_;
    bool updateAll_ = true;
};

} // namespace platform
