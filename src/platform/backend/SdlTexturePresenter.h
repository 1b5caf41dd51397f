#pragma once

#include "platform/backend/SdlPresenter.h"

#include <memory>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

// The picture in a streaming texture of a renderer (software where it can be), drawn one to
// one (or stretched) over its rectangle and shown whole each time: for video drivers that
// give no window surface.
class SdlTexturePresenter : public SdlPresenter {
public:
    // Null when no renderer can be made for the window.
    static std::unique_ptr<SdlTexturePresenter> make(SDL_Window* window);
    ~SdlTexturePresenter() override;
    SdlTexturePresenter(const SdlTexturePresenter&) = delete;
    SdlTexturePresenter& operator=(const SdlTexturePresenter&) = delete;

    Size drawableSize() const override;
    bool update(const std::uint8_t* pixels, int stride, int width, int height,
                const std::vector<Rect>& boxes, bool smooth) override;
    void render(const Rect& target) override;
    void present() override;
    ImageRef readPixels() override;

private:
    explicit SdlTexturePresenter(SDL_Renderer* renderer) : renderer_(renderer) {}

    SDL_Renderer* renderer_;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};

} // namespace platform
