#include "platform/graphics/GraphicsWarmUp.h"

#include "platform/graphics/Image.h"
#include "platform/graphics/ImageContext.h"

#include <cstdint>
#include <vector>

namespace platform {

namespace {

// Every blend mode once, fills and draws, through the fast paths and through Cairo, on a
// surface just big enough to take the fast paths.
void warmBlending() {
    constexpr int kSide = 72;
    std::vector<std::uint32_t> pixels(std::size_t(kSide) * kSide);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xff000000u | std::uint32_t(i * 2654435761u >> 8 & 0xffffffu);
    const ImageRef picture = Image::fromPixels(kSide, kSide, pixels);
    if (!picture)
        return;
    for (const bool fast : {true, false}) {
        ImageContext context(kSide, kSide);
        context.setUsesFastPaths(fast);
        context.drawImage({0, 0, kSide, kSide}, *picture);
        for (int mode = 0; mode <= int(BlendMode::PlusLighter); ++mode) {
            context.setBlendMode(blendModeFromNumber(mode));
            context.setRGBFillColor(0.6, 0.5, 0.4, 0.7);
            context.fillRect({0, 0, kSide, kSide});
            context.drawImage({0, 0, kSide, kSide}, *picture);
        }
        // A shrinking draw, as small prints are made.
        context.setBlendMode(BlendMode::Normal);
        context.drawImage({0, 0, kSide / 3.0, kSide / 3.0}, *picture);
        const ImageRef made = context.makeImage();
        if (made)
            (void)made->jpegData(1.0);
    }
}

void warmFont(const std::string& name) {
    ImageContext context(64, 32);
    context.scaleCTM(1, -1);
    context.translateCTM(0, -32);
    context.selectFont(name, 20);
    context.setTextDrawingMode(0);
    context.setShouldAntialias(true);
    // Every letter of the month names and every digit, so their outlines are loaded.
    context.showTextAtPoint({2, 8}, "January February March April May June July August");
    context.showTextAtPoint({2, 8}, "September October November December 0123456789, ");
}

} // namespace

void GraphicsWarmUp::run(const std::vector<std::string>& fontNames,
                         const std::vector<std::filesystem::path>& picturePaths) {
    for (const std::string& name : fontNames)
        warmFont(name);
    warmBlending();
    for (const auto& path : picturePaths)
        (void)Image::contentsOfFile(path);
}

} // namespace platform
