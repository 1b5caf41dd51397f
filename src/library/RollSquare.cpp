#include "library/RollSquare.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/ImageContext.h"

int RollSquare::squareSide(std::string_view platformString) {
    return (platformString == "iPhone1,1" || platformString == "iPhone1,2") ? 1200 : 1500;
}

platform::ImageRef RollSquare::makeSquare(const platform::Image& photograph, int side) {
    if (side < 1)
        return nullptr;
    // The stored bitmap as it is; the flag only decides the turn below.
    const double w = photograph.pixelWidth();
    const double h = photograph.pixelHeight();
    const double s = side;
    if (!keepsFirstWay(photograph))
        return makeUprightSquare(photograph, side);

    platform::ImageContext context(side, side);
    platform::Rect target;
    if (w >= h) {
        const double e = w * s / h;
        target = {(s - e) * 0.5, 0, e, s};
        const platform::Size own = photograph.size();
        if (own.width < own.height) {
            // A portrait photograph stored on its side. Built step by step rather than as its
            // net mapping, (x, y) to (y, side - x): the angle is three quarter turns rounded,
            // and prints made before must come out the same to the pixel.
            platform::AffineTransform turn = platform::AffineTransform::makeTranslation(s, s);
            turn = turn.scaled(-1, 1);
            turn = turn.rotated(4.712389);
            context.scaleCTM(-1, 1);
            context.translateCTM(-s, 0);
            context.concatCTM(turn);
        }
    } else {
        const double e = h * s / w;
        target = {0, (s - e) * 0.5, s, e};
    }
    // Drawn without a flip, so the first stored row lands at the bottom: the mirrored storage.
    context.drawImage(target, photograph);
    return context.makeImage();
}

bool RollSquare::keepsFirstWay(const platform::Image& photograph) {
    // The first way turned every bitmap shown portrait but stored landscape the same way, a
    // quarter clockwise, and left all others as stored: right only for upright pictures and
    // for a phone's portrait (landscape bitmap, flag "right"). Those keep their pixels.
    const auto orientation = photograph.orientation();
    return orientation == platform::ImageOrientation::Up ||
           (orientation == platform::ImageOrientation::Right &&
            photograph.pixelWidth() > photograph.pixelHeight());
}

platform::ImageRef RollSquare::makeUprightSquare(const platform::Image& photograph, int side) {
    // The picture as it is seen, after any of the eight flags, cut and scaled as an upright
    // picture would be; drawn in a space flipped top to bottom, so stored mirrored.
    const platform::Size seen = photograph.size();
    const double s = side;
    platform::Rect target;
    if (seen.width >= seen.height) {
        const double e = seen.width * s / seen.height;
        target = {(s - e) * 0.5, 0, e, s};
    } else {
        const double e = seen.height * s / seen.width;
        target = {0, (s - e) * 0.5, s, e};
    }
    platform::ImageContext context(side, side);
    context.translateCTM(0, s);
    context.scaleCTM(1, -1);
    context.drawImageUpright(target, photograph);
    return context.makeImage();
}

platform::ImageRef RollSquare::makePreview(const platform::ImageRef& square) {
    if (!square)
        return nullptr;
    platform::ImageContext context(kPreviewSide, kPreviewSide);
    // Reversing the rows once more brings the mirrored square upright.
    context.drawImage({0, 0, kPreviewSide, kPreviewSide}, *square);
    return context.makeImage();
}
