#include "platform/graphics/AffineTransform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AffineTransform, ScaleAndRotatePutTheirTransformInFront) {
    const double b = 100;
    const auto t =
        platform::AffineTransform::makeTranslation(b, b).scaled(-1, 1).rotated(3 * M_PI / 2);
    // rotate first: (1, 0) -> (0, -1); then scale: (0, -1); then translate: (100, 99).
    const auto p = t.apply({1, 0});
    EXPECT_NEAR(p.x, 100, 1e-9);
    EXPECT_NEAR(p.y, 99, 1e-9);
}

} // namespace
