#include "platform/ui/DirtyRegion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace platform;

namespace {

// Points spread over a rectangle, its corners and edges among them (just inside, as the
// rectangle is half-open).
std::vector<Point> samples(const Rect& r) {
    std::vector<Point> points;
    const double inset = 1e-6;
    const double w = r.maxX() - r.minX(), h = r.maxY() - r.minY();
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j)
            points.push_back({r.minX() + inset + (w - 2 * inset) * i / 4,
                              r.minY() + inset + (h - 2 * inset) * j / 4});
    return points;
}

} // namespace

// Whatever is added, and in whatever order, every point of it stays in the region, the region
// never reaches beyond what was added, and it stays a few rectangles.
TEST(DirtyRegion, HoldsEverythingAddedInAFewRectanglesAndNothingBeyond) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> position(-50, 400), size(0.5, 120);
    for (int round = 0; round < 200; ++round) {
        DirtyRegion region;
        std::vector<Rect> added;
        const int count = 1 + round % 20;
        for (int i = 0; i < count; ++i) {
            // Some negative sizes: a rectangle given the other way round is the same place.
            const double w = size(random) * (i % 5 == 4 ? -1 : 1);
            const Rect r{position(random), position(random), w, size(random)};
            added.push_back(r);
            region.add(r);
        }
        Rect all;
        for (const Rect& r : added)
            all = all.united(Rect{r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY()});
        ASSERT_LE(region.rects().size(), DirtyRegion::kMaxRects);
        // Sums of sides may round by the last bit.
        const double e = 1e-9;
        const Rect slack{all.x() - e, all.y() - e, all.width() + 2 * e, all.height() + 2 * e};
        for (const Rect& r : region.rects())
            EXPECT_TRUE(slack.containsRect(r));
        for (const Rect& r : added)
            for (const Point& p : samples(r))
                ASSERT_TRUE(region.contains(p))
                    << "round " << round << " lost " << p.x << "," << p.y;
        EXPECT_NEAR(region.bounds().minX(), all.minX(), e);
        EXPECT_NEAR(region.bounds().maxY(), all.maxY(), e);
    }
}

TEST(DirtyRegion, NearlyOverlappingRectanglesMergeAndFarOnesStayApart) {
    DirtyRegion region;
    // A view moved by a few points: the old and new places are drawn as one.
    region.add({10, 10, 100, 50});
    region.add({14, 12, 100, 50});
    ASSERT_EQ(region.rects().size(), 1u);
    EXPECT_EQ(region.rects()[0], (Rect{10, 10, 104, 52}));
    // A small spinner far away is not worth the whole area between them.
    region.add({300, 400, 10, 10});
    EXPECT_EQ(region.rects().size(), 2u);
    // Something inside what is there adds nothing.
    region.add({20, 20, 5, 5});
    EXPECT_EQ(region.rects().size(), 2u);
}

TEST(DirtyRegion, EmptyAndUndefinedRectanglesAddNothing) {
    DirtyRegion region;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    region.add(Rect{});
    region.add({5, 5, 0, 10});
    region.add({nan, 0, 10, 10});
    region.add({0, 0, inf, 10});
    EXPECT_TRUE(region.isEmpty());
    EXPECT_TRUE(region.bounds().isEmpty());
    region.add({1, 2, 3, 4});
    region.clear();
    EXPECT_TRUE(region.isEmpty());
}
