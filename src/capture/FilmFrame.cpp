#include "capture/FilmFrame.h"

FilmFrame FilmFrame::forCategoryAndFrame(int categoryNumber, int frameNumber) {
    const std::string number = std::to_string(frameNumber);
    switch (categoryNumber) {
    case 6:
        // Screen lightens only, so the rainbow shows over the untinted look without a window.
        return {"film_rainbow" + number, platform::BlendMode::Screen};
    case 7:
        return {"film_vintage" + number, platform::BlendMode::SourceAtop};
    case 9:
        return {"film_color" + number, platform::BlendMode::HardLight};
    default:
        // Source-atop over a look's opaque output draws as normal, yet never paints where a
        // look left the print transparent.
        return {"film_normal" + number, platform::BlendMode::SourceAtop};
    }
}
