#include "platform/backend/SdlSurfacePresenter.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Formats whose words are laid out as the picture's (the padding byte is ignored).
bool sameLayout(Uint32 format) {
    return format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888;
}

SDL_Rect sdlRect(const Rect& r) {
    return {static_cast<int>(r.x()), static_cast<int>(r.y()), static_cast<int>(r.width()),
            static_cast<int>(r.height())};
}

} // namespace

std::unique_ptr<SdlSurfacePresenter> SdlSurfacePresenter::make(SDL_Window* window) {
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!surface || surface->format->BytesPerPixel != 4)
        return nullptr;
    return std::unique_ptr<SdlSurfacePresenter>(new SdlSurfacePresenter(window));
}

Size SdlSurfacePresenter::drawableSize() const {
    const SDL_Surface* surface = SDL_GetWindowSurface(window_);
    return surface ? Size{double(surface->w), double(surface->h)} : Size{};
}

bool SdlSurfacePresenter::update(const std::uint8_t* pixels, int stride, int width, int height,
                                 const std::vector<Rect>& boxes, bool smooth) {
    if (!pixels || width <= 0 || height <= 0)
        return false;
    if (width != width_ || height != height_ || smooth != smooth_)
        whole_ = true;
    pixels_ = pixels;
    stride_ = stride;
    width_ = width;
    height_ = height;
    smooth_ = smooth;
    if (!whole_)
        pending_.insert(pending_.end(), boxes.begin(), boxes.end());
    return true;
}

void SdlSurfacePresenter::copy(SDL_Surface* surface, const Rect& box) {
    // Cut to the picture and, once placed, to the window.
    const Rect inPicture = box.intersection({0, 0, double(width_), double(height_)});
    const Rect placed = Rect{inPicture.x() + shownTarget_.x(), inPicture.y() + shownTarget_.y(),
                             inPicture.width(), inPicture.height()}
                            .intersection({0, 0, double(surface->w), double(surface->h)});
    if (placed.isEmpty())
        return;
    const SDL_Rect to = sdlRect(placed);
    const std::uint8_t* from = pixels_ + std::ptrdiff_t(to.y - int(shownTarget_.y())) * stride_ +
                               std::ptrdiff_t(to.x - int(shownTarget_.x())) * 4;
    auto* into = static_cast<std::uint8_t*>(surface->pixels) +
                 std::ptrdiff_t(to.y) * surface->pitch + std::ptrdiff_t(to.x) * 4;
    if (sameLayout(surface->format->format)) {
        for (int row = 0; row < to.h; ++row)
            std::memcpy(into + std::ptrdiff_t(row) * surface->pitch,
                        from + std::ptrdiff_t(row) * stride_, std::size_t(to.w) * 4);
    } else {
        SDL_ConvertPixels(to.w, to.h, SDL_PIXELFORMAT_ARGB8888, from, stride_,
                          surface->format->format, into, surface->pitch);
    }
    updates_.push_back(placed);
}

void SdlSurfacePresenter::stretch(SDL_Surface* surface) {
    // A wrapper read in the window's own layout where it can be, so the smooth stretch,
    // which wants one format on both sides, can run.
    const Uint32 format = sameLayout(surface->format->format)
                              ? surface->format->format
                              : static_cast<Uint32>(SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(pixels_),
                                                              width_, height_, 32, stride_, format);
    if (!picture)
        return;
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    SDL_Rect to = sdlRect(shownTarget_);
    if (smooth_ && format == surface->format->format)
        SDL_SoftStretchLinear(picture, nullptr, surface, &to);
    else
        SDL_BlitScaled(picture, nullptr, surface, &to);
    SDL_FreeSurface(picture);
}

void SdlSurfacePresenter::render(const Rect& target) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface)
        return;
    const bool oneToOne = target.width() == width_ && target.height() == height_;
    // A new surface (after a resize), a moved picture or a stretched one: all of it again.
    const bool again = whole_ || surface != shownSurface_ || surface->w != shownWidth_ ||
                       surface->h != shownHeight_ || !(target == shownTarget_) || !oneToOne;
    shownSurface_ = surface;
    shownWidth_ = surface->w;
    shownHeight_ = surface->h;
    shownTarget_ = target;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return;
    if (again) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        if (pixels_ && !target.isEmpty()) {
            if (oneToOne)
                copy(surface, {0, 0, double(width_), double(height_)});
            else
                stretch(surface);
        }
        updateAll_ = true;
    } else {
        for (const Rect& box : pending_)
            copy(surface, box);
    }
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    pending_.clear();
    whole_ = false;
}

void SdlSurfacePresenter::present() {
    // Nothing new (the window was uncovered, say): all of it, as it stands.
    if (updateAll_ || updates_.empty()) {
        SDL_UpdateWindowSurface(window_);
    } else {
        std::vector<SDL_Rect> rects;
        rects.reserve(updates_.size());
        for (const Rect& r : updates_)
            rects.push_back(sdlRect(r));
        SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
    }
    updates_.clear();
    updateAll_ = false;
}

ImageRef SdlSurfacePresenter::readPixels() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface || surface->w <= 0 || surface->h <= 0)
        return nullptr;
    std::vector<std::uint32_t> argb(std::size_t(surface->w) * surface->h);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return nullptr;
    const int converted =
        SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
                          surface->pitch, SDL_PIXELFORMAT_ARGB8888, argb.data(), surface->w * 4);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    if (converted != 0)
        return nullptr;
    // The window is opaque, so its pixels are premultiplied as they are.
    for (auto& p : argb)
        p |= 0xff000000u;
    return Image::fromPixels(surface->w, surface->h, argb);
}

} // namespace platform
