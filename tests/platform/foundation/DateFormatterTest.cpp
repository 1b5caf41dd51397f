#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Date.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

using platform::Date;
using platform::DateFormatter;
using testing_support::ScopedEnvironment;

std::chrono::system_clock::time_point at(long long secondsSince1970) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(secondsSince1970));
}

// 2026-01-05 02:30:09 UTC: still the 4th of January west of Greenwich.
constexpr long long kMoment = 1767580209;

TEST(DateFormatter, PrintDateInTheLocalZoneWithEnglishMonths) {
    // A locale that would name months differently, were it used.
    ScopedEnvironment language("LC_ALL", "C.UTF-8");
    std::setlocale(LC_ALL, "");
    const DateFormatter printDate("MMMM dd, yyyy");
    {
        ScopedEnvironment zone("TZ", "UTC0");
        EXPECT_EQ(printDate.stringFromDate(at(kMoment)), "January 05, 2026");
    }
    {
        // POSIX zone strings need no zone database: eight hours west.
        ScopedEnvironment zone("TZ", "PST8");
        EXPECT_EQ(printDate.stringFromDate(at(kMoment)), "January 04, 2026");
    }
    std::setlocale(LC_ALL, "C");
}

TEST(DateFormatter, CommonPatternsAndQuotedText) {
    ScopedEnvironment zone("TZ", "UTC0");
    const auto when = at(kMoment) + std::chrono::milliseconds(999);
    EXPECT_EQ(DateFormatter("yyyy-MM-dd HH:mm:ss").stringFromDate(when), "2026-01-05 02:30:09");
    EXPECT_EQ(DateFormatter("d MMM yy, H:m:s").stringFromDate(when), "5 Jan 26, 2:30:9");
    EXPECT_EQ(DateFormatter("EEEE, h a 'o''clock' M/d").stringFromDate(when),
              "Monday, 2 AM o'clock 1/5");
    EXPECT_EQ(DateFormatter("EEE MMMM 'yyyy' ''").stringFromDate(at(1767614400 + 12 * 3600)),
              "Tue January yyyy '");
    EXPECT_EQ(DateFormatter("").stringFromDate(when), "");
    // Twelve o'clock reads 12, not 0, on the twelve-hour clock.
    EXPECT_EQ(DateFormatter("h a").stringFromDate(at(1767614400)), "12 PM");
    EXPECT_EQ(DateFormatter("MMMM").stringFromDate(at(1767614400 + 340LL * 86400)), "December");
}

TEST(Date, SecondsSince1970DropTheFraction) {
    EXPECT_EQ(Date::secondsSince1970(at(kMoment) + std::chrono::milliseconds(999)), kMoment);
    EXPECT_EQ(Date::secondsSince1970(at(0) - std::chrono::milliseconds(1500)), -1);
    const long long now = Date::secondsSince1970(Date::now());
    EXPECT_GT(now, 1767225600); // after 2026 began
}

} // namespace
