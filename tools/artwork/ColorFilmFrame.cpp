#include "FilmFrameFamilies.h"
#include "PixelPainting.h"

#include <cmath>

namespace artwork {

// Under hard light each channel of this frame works on its own: 1 gives full light, 0 full
// dark, 0.5 leaves the print as it is. The border uses saturated hues, whose channels sit at
// the ends, so it prints as bold colour whatever lies under it; the window stays near
// mid grey and only pushes the print toward a warm and a cool cast.
Canvas drawColorFrame(const FrameShape& shape, const Fonts& fonts) {
    const double s = shape.side();
    const int frame = shape.frame();
    // Each frame number gets its own sweep of hues around the border.
    const double hueStart[] = {0.83, 0.95, 0.50};
    const double hueSpan[] = {0.30, 0.22, 0.30};
    const RoundedBox& w = shape.window();
    Canvas canvas = paintPixels(static_cast<int>(s), static_cast<int>(s), [&](double x, double y) {
        const double u = x / s;
        const double v = y / s;
        const double inWindow = coverage(shape.windowDistance(x, y));

        // Channels pushed to their ends, so the hues meet in short steps of pure colour and
        // the print under the border hardly shows through.
        Color border = hueColor(hueStart[frame] + hueSpan[frame] * (u + v) / 2);
        for (double* channel : {&border.r, &border.g, &border.b}) {
            *channel = clamp01((*channel - 0.5) * 6 + 0.5);
        }
        if (shape.hasStrip()) {
            const double inStrip = coverage(shape.strip().distance(x, y));
            const double inHole = coverage(shape.holeDistance(x, y));
            border = mix(border, {0, 0, 0}, inStrip);
            border = mix(border, {1, 1, 1}, inHole);
        }

        // Two soft lights of opposite hue from opposite corners of the window.
        const double wx = (x - w.x0) / (w.x1 - w.x0);
        const double wy = (y - w.y0) / (w.y1 - w.y0);
        const double warm = std::exp(-((wx * wx + wy * wy) / 0.55));
        const double cool = std::exp(-(((1 - wx) * (1 - wx) + (1 - wy) * (1 - wy)) / 0.55));
        Color cast{0.5, 0.5, 0.5};
        cast = mix(cast, hueColor(0.93), 0.42 * warm);
        cast = mix(cast, hueColor(0.53), 0.42 * cool);
        const Color inside = withAlpha(cast, 0.6);

        Color c = mix(withAlpha(border, 1), inside, inWindow);
        return c;
    });
    drawStripLettering(canvas, shape, fonts, {1, 1, 0, 1});
    return canvas;
}

} // namespace artwork
