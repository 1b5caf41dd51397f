#include "platform/backend/SdlTexturePresenter.h"

#include <SDL.h>

namespace platform {

std::unique_ptr<SdlTexturePresenter> SdlTexturePresenter::make(SDL_Window* window) {
    if (!window)
        return nullptr;
    // The window shows one finished picture a frame, copied one to one: that needs no GPU,
    // and the software path spares loading a whole GL stack for it (on machines without a
    // GPU, a shader compiler and a thread per core).
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer)
        return nullptr;
    return std::unique_ptr<SdlTexturePresenter>(new SdlTexturePresenter(renderer));
}

SdlTexturePresenter::~SdlTexturePresenter() {
    if (texture_)
        SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
}

Size SdlTexturePresenter::drawableSize() const {
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0)
        return {};
    return Size{double(width), double(height)};
}

bool SdlTexturePresenter::update(const std::uint8_t* pixels, int stride, int width, int height,
                                 const std::vector<Rect>& boxes, bool smooth) {
    if (!pixels || width <= 0 || height <= 0)
        return false;
    const bool fresh = !texture_ || textureWidth_ != width || textureHeight_ != height;
    if (fresh) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        textureWidth_ = texture_ ? width : 0;
        textureHeight_ = texture_ ? height : 0;
        if (!texture_)
            return false;
        // The picture is drawn over black, so it is opaque: copy it, do not blend it.
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    }
    SDL_SetTextureScaleMode(texture_, smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    if (fresh)
        return SDL_UpdateTexture(texture_, nullptr, pixels, stride) == 0;
    bool ok = true;
    for (const Rect& box : boxes) {
        const SDL_Rect part{static_cast<int>(box.x()), static_cast<int>(box.y()),
                            static_cast<int>(box.width()), static_cast<int>(box.height())};
        if (part.x < 0 || part.y < 0 || part.w <= 0 || part.h <= 0 || part.x + part.w > width ||
            part.y + part.h > height)
            continue;
        const std::uint8_t* first =
            pixels + std::ptrdiff_t(part.y) * stride + std::ptrdiff_t(part.x) * 4;
        ok = SDL_UpdateTexture(texture_, &part, first, stride) == 0 && ok;
    }
    return ok;
}

void SdlTexturePresenter::render(const Rect& target) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (!texture_ || target.isEmpty())
        return;
    const SDL_Rect destination{static_cast<int>(target.x()), static_cast<int>(target.y()),
                               static_cast<int>(target.width()), static_cast<int>(target.height())};
    SDL_RenderCopy(renderer_, texture_, nullptr, &destination);
}

void SdlTexturePresenter::present() {
    SDL_RenderPresent(renderer_);
}

ImageRef SdlTexturePresenter::readPixels() {
    const Size size = drawableSize();
    const int w = static_cast<int>(size.width);
    const int h = static_cast<int>(size.height);
    if (w <= 0 || h <= 0)
        return nullptr;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), w * 4) != 0)
        return nullptr;
    // The window is opaque, so its pixels are premultiplied as they are.
    for (auto& p : argb)
        p |= 0xff000000u;
    return Image::fromPixels(w, h, argb);
}

} // namespace platform
