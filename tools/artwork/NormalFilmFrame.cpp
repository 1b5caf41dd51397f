#include "FilmFrameFamilies.h"
#include "PixelPainting.h"

#include <cmath>

namespace artwork {

namespace {

const Color kPaper{0.972, 0.969, 0.955};
const Color kFilmBase{0.075, 0.072, 0.078};

} // namespace

Canvas drawNormalFrame(const FrameShape& shape, const Fonts& fonts) {
    const double s = shape.side();
    const double px = s / 1500.0;
    Canvas canvas = paintPixels(static_cast<int>(s), static_cast<int>(s), [&](double x, double y) {
        const double inWindow = coverage(shape.windowDistance(x, y));
        Color c = kPaper;
        if (shape.hasStrip()) {
            const double inStrip = coverage(shape.strip().distance(x, y));
            const double inHole = coverage(shape.holeDistance(x, y));
            c = mix(c, kFilmBase, inStrip * (1 - inHole));
        } else {
            // The border's edge is a little raised over the picture and darkens toward it.
            const double d = shape.windowDistance(x, y);
            c = shade(c, -0.07 * std::exp(-std::max(d, 0.0) / (5 * px)));
        }
        return withAlpha(c, 1 - inWindow);
    });
    drawStripLettering(canvas, shape, fonts, {0.93, 0.55, 0.16, 0.9});
    return canvas;
}

} // namespace artwork
