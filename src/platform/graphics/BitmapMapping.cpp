#include "platform/graphics/BitmapMapping.h"

#include <cmath>

namespace platform {

AffineTransform BitmapMapping::displayedToStored(ImageOrientation orientation, double width,
                                                 double height) {
    switch (orientation) {
    case ImageOrientation::Up:
        return {};
    case ImageOrientation::UpMirrored:
        return {-1, 0, 0, 1, width, 0};
    case ImageOrientation::Down:
        return {-1, 0, 0, -1, width, height};
    case ImageOrientation::DownMirrored:
        return {1, 0, 0, -1, 0, height};
    case ImageOrientation::LeftMirrored:
        return {0, 1, 1, 0, 0, 0};
    case ImageOrientation::Right:
        return {0, -1, 1, 0, 0, width};
    case ImageOrientation::RightMirrored:
        return {0, -1, -1, 0, height, width};
    case ImageOrientation::Left:
        return {0, 1, -1, 0, height, 0};
    }
    return {};
}

bool BitmapMapping::isPixelExact(const AffineTransform& m) {
    // Coefficients only need to be near ±1 or 0: the camera's turn by 4.712389 radians is a
    // hair off three quarter turns, far below a pixel across any bitmap we accept.
    constexpr double kTolerance = 1e-6;
    auto isZero = [](double v) { return std::abs(v) <= kTolerance; };
    auto isUnitOrZero = [&](double v) {
        return isZero(v) || std::abs(std::abs(v) - 1) <= kTolerance;
    };
    auto nearInteger = [](double v) { return std::abs(v - std::round(v)) <= 1e-3; };
    if (!isUnitOrZero(m.a) || !isUnitOrZero(m.b) || !isUnitOrZero(m.c) || !isUnitOrZero(m.d))
        return false;
    const bool straight = isZero(m.b) && isZero(m.c) && !isZero(m.a) && !isZero(m.d);
    const bool turned = isZero(m.a) && isZero(m.d) && !isZero(m.b) && !isZero(m.c);
    return (straight || turned) && nearInteger(m.tx) && nearInteger(m.ty);
}

} // namespace platform
