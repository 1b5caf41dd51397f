#include "capture/DateStamp.h"
#include "capture/FilmFrame.h"
#include "capture/PrintSize.h"
#include "capture/StripPages.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(StripPages, CategoryBoundariesBelongToThePageAbove) {
    EXPECT_EQ(StripPages::categoryNumberForOffset(-40), 1);
    EXPECT_EQ(StripPages::categoryNumberForOffset(0), 1);
    EXPECT_EQ(StripPages::categoryNumberForOffset(269.9), 1);
    EXPECT_EQ(StripPages::categoryNumberForOffset(270), 2);
    EXPECT_EQ(StripPages::categoryNumberForOffset(1350), 6);
    EXPECT_EQ(StripPages::categoryNumberForOffset(2429.9), 9);
    EXPECT_EQ(StripPages::categoryNumberForOffset(2430), 10);
    EXPECT_EQ(StripPages::categoryNumberForOffset(2699.9), 10);
    // Past the last page the strip falls back to the first category, not the last.
    EXPECT_EQ(StripPages::categoryNumberForOffset(2700), 1);
    EXPECT_EQ(StripPages::categoryNumberForOffset(5000), 1);
}

TEST(StripPages, PositionsAreComparedInSinglePrecision) {
    // Below 540 in double precision, but 540 once narrowed to float: the next page.
    EXPECT_EQ(StripPages::categoryNumberForOffset(539.99999999), 3);
    EXPECT_EQ(StripPages::frameNumberForOffset(639.99999999), 2);
    // The nearest float below a boundary stays on its page.
    EXPECT_EQ(StripPages::categoryNumberForOffset(std::nextafter(540.0f, 0.0f)), 2);
}

TEST(StripPages, FrameBoundariesBelongToThePageAbove) {
    EXPECT_EQ(StripPages::frameNumberForOffset(-10), 0);
    EXPECT_EQ(StripPages::frameNumberForOffset(319.9), 0);
    EXPECT_EQ(StripPages::frameNumberForOffset(320), 1);
    EXPECT_EQ(StripPages::frameNumberForOffset(639.9), 1);
    EXPECT_EQ(StripPages::frameNumberForOffset(640), 2);
    EXPECT_EQ(StripPages::frameNumberForOffset(960), 0);
}

TEST(StripPages, BrokenPositionsGiveTheFirstPage) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300}) {
        EXPECT_EQ(StripPages::categoryNumberForOffset(x), 1) << x;
        EXPECT_EQ(StripPages::frameNumberForOffset(x), 0) << x;
    }
}

TEST(FilmFrame, EachCategoryHasItsFamilyAndBlend) {
    using platform::BlendMode;
    const std::string families[] = {"",        "normal",  "normal", "normal", "normal", "normal",
                                    "rainbow", "vintage", "normal", "color",  "normal"};
    for (int category = 1; category <= 10; ++category)
        for (int frame = 0; frame <= 2; ++frame) {
            const FilmFrame f = FilmFrame::forCategoryAndFrame(category, frame);
            EXPECT_EQ(f.name, "film_" + families[category] + std::to_string(frame));
            const BlendMode expected = category == 6   ? BlendMode::Screen
                                       : category == 9 ? BlendMode::HardLight
                                                       : BlendMode::SourceAtop;
            EXPECT_EQ(f.blendMode, expected) << "category " << category;
        }
}

TEST(PrintSize, SidesFollowQualityAndModel) {
    struct Case {
        bool highQuality;
        std::string model;
        int printSide, cropSide;
    };
    const Case cases[] = {
        {false, "iPhone1,1", 750, 1200},
        {false, "iPhone1,2", 750, 1200},
        {false, "iPhone2,1", 750, 1500},
        {false, "", 750, 1500},
        {true, "iPhone1,1", 1200, 1200},
        {true, "iPhone1,2", 1200, 1200},
        {true, "x86_64", 1500, 1500},
        {true, "", 1500, 1500},
        // Only the exact texts count.
        {true, "iPhone1,2 ", 1500, 1500},
        {true, "iphone1,1", 1500, 1500},
    };
    for (const Case& c : cases) {
        const PrintSize size = PrintSize::forModel(c.highQuality, c.model);
        EXPECT_EQ(size.printSide, c.printSide) << c.highQuality << " '" << c.model << "'";
        EXPECT_EQ(size.cropSide, c.cropSide) << c.highQuality << " '" << c.model << "'";
        EXPECT_EQ(PrintSize::librarySquareSide(c.model), c.cropSide) << c.model;
    }
}

TEST(DateStamp, SizeFollowsQualityAndPrintSide) {
    EXPECT_EQ(DateStamp::fontSizeFor(false, 750), 20);
    EXPECT_EQ(DateStamp::fontSizeFor(false, 1500), 20);
    EXPECT_EQ(DateStamp::fontSizeFor(true, 1200), 32);
    EXPECT_EQ(DateStamp::fontSizeFor(true, 1500), 40);
    const DateStamp stamp("x", 32, false);
    EXPECT_EQ(stamp.baselineOrigin(), (platform::Point{80, 32}));
}

TEST(DateStamp, TextIsTheLocalDayInEnglish) {
    // 2026-01-04 23:30 UTC is already the 5th east of Greenwich.
    const auto instant = std::chrono::system_clock::time_point(std::chrono::seconds(1767569400));
    {
        const ScopedEnvironment utc("TZ", "UTC0");
        EXPECT_EQ(DateStamp::textForDate(instant), "January 04, 2026");
    }
    {
        const ScopedEnvironment tokyo("TZ", "JST-9");
        EXPECT_EQ(DateStamp::textForDate(instant), "January 05, 2026");
    }
    const ScopedEnvironment utc("TZ", "UTC0");
    const DateStamp stamp = DateStamp::forPrint(instant, true, 1500, 9);
    EXPECT_EQ(stamp.fontSize(), 40);
    EXPECT_TRUE(stamp.isWhiteInk());
    EXPECT_FALSE(DateStamp::forPrint(instant, true, 1500, 8).isWhiteInk());
}

} // namespace
