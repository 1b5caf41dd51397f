#include "capture/LiveLook.h"

#include "capture/PrintComposer.h"

#include "platform/foundation/Date.h"
#include "platform/graphics/ImageContext.h"

using platform::Image;
using platform::ImageRef;

void LiveLook::setInputs(PrintInputs inputs) {
    inputs_ = std::move(inputs);
    loadFilmFrame_ = std::move(inputs_.loadFilmFrame);
    // Set on every change, so a page turned back and forth reloads nothing it still holds.
    inputs_.loadFilmFrame = [this](const std::string& name) { return filmFrame(name); };
}

ImageRef LiveLook::filmFrame(const std::string& name) {
    if (!frameLoaded_ || name != frameName_) {
        frame_ = loadFilmFrame_ ? loadFilmFrame_(name) : PrintComposer::filmFrameFromBundle(name);
        frameName_ = name;
        frameLoaded_ = true;
    }
    return frame_;
}

ImageRef LiveLook::squareOf(const Image& portrait) {
    const int side = portrait.pixelWidth();
    if (side <= 0 || portrait.pixelHeight() < side)
        return nullptr;
    const ImageRef square = portrait.cropped({0, 0, double(side), double(side)});
    if (!square)
        return nullptr;
    // A look is given its square upside down, as the camera's still gives it, and turns it
    // upright: a plain draw into a fresh context is that reversal.
    platform::ImageContext turned(side, side);
    if (turned.pixelWidth() != side || turned.pixelHeight() != side)
        return nullptr;
    turned.drawImage({0, 0, double(side), double(side)}, *square);
    const ImageRef lookInput = turned.makeImage();
    if (!lookInput)
        return nullptr;
    const auto now = inputs_.now ? inputs_.now() : platform::Date::now();
    return PrintComposer::printAtOwnSize(*lookInput, inputs_, now);
}

std::function<ImageRef(const Image&)> LiveLook::treatment(const std::shared_ptr<LiveLook>& look) {
    return [look](const Image& portrait) { return look->squareOf(portrait); };
}
