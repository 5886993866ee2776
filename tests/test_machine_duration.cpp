// The duration formatter: a number of seconds in words or as a clock text,
// as the up time, the battery times and the windows show them.
#include <gtest/gtest.h>

#include "engine/Zarvo_Machine.h"

using torvex::engine::FormatSeconds;

namespace {

TEST(DurationFormatter, WordFormStartsAtTheLargestUnitAndKeepsZeros) {
    EXPECT_EQ(FormatSeconds(3661, true, false, false), "1 Hour, 1 Minute, 1 Second.");
    EXPECT_EQ(FormatSeconds(3601, true, false, false), "1 Hour, 0 Minutes, 1 Second.");
    EXPECT_EQ(FormatSeconds(59, true, false, false), "59 Seconds.");
    EXPECT_EQ(FormatSeconds(0, true, false, false), "0 Seconds.");
    EXPECT_EQ(FormatSeconds(1, true, false, false), "1 Second.");
    EXPECT_EQ(FormatSeconds(7200, true, false, false), "2 Hours, 0 Minutes, 0 Seconds.");
    // 8 days: a week and a day.
    EXPECT_EQ(FormatSeconds(8 * 86400 + 5, true, false, false),
              "1 Week, 1 Day, 0 Hours, 0 Minutes, 5 Seconds.");
    EXPECT_EQ(FormatSeconds(59, false, false, false), "59.00 Seconds.");
    EXPECT_EQ(FormatSeconds(3661, false, false, false), "1 Hour, 1 Minute, 1.00 Second.");
}

TEST(DurationFormatter, LargeUnitsOfTheCalendar) {
    // A year is 365.5 days, a month 31 days, a century 877,200 hours.
    EXPECT_EQ(FormatSeconds(31579200, true, false, false),
              "1 Year, 0 Months, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 0 Seconds.");
    EXPECT_EQ(FormatSeconds(2678400 * 2 + 60, true, false, false),
              "2 Months, 0 Weeks, 0 Days, 0 Hours, 1 Minute, 0 Seconds.");
    EXPECT_EQ(FormatSeconds(3157920000LL * 2, true, false, false),
              "2 Centuries, 0 Years, 0 Months, 0 Weeks, 0 Days, 0 Hours, 0 Minutes, 0 Seconds.");
    // A battery whose time is unknown (0xFFFFFFFF seconds) is still written.
    EXPECT_EQ(FormatSeconds(0xFFFFFFFFLL, true, false, false),
              "1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, 28 Minutes, 15 Seconds.");
}

TEST(DurationFormatter, AllUnitsAndClockForms) {
    EXPECT_EQ(FormatSeconds(3661, true, true, false),
              "0 Centuries, 0 Years, 0 Months, 0 Weeks, 0 Days, 1 Hour, 1 Minute, 1 Second.");
    EXPECT_EQ(FormatSeconds(3661, false, true, false),
              "0 Centuries, 0 Years, 0 Months, 0 Weeks, 0 Days, 1 Hour, 1 Minute, 1.00 Second.");
    EXPECT_EQ(FormatSeconds(3661, true, false, true), "01:01:01");
    // The clock form shows the hours of the last day only.
    EXPECT_EQ(FormatSeconds(86400 + 3661, true, false, true), "01:01:01");
    // With all units the weeks count as days; centuries are left out.
    EXPECT_EQ(FormatSeconds(31579200 + 2678400 + 604800 + 2 * 86400 + 3661, true, true, true),
              "01.01.09 01:01:01");
    EXPECT_EQ(FormatSeconds(59, true, true, true), "00.00.00 00:00:59");
    EXPECT_EQ(FormatSeconds(-5, true, false, false), "0 Seconds.");
}

TEST(DurationFormatter, CountsBeyondThirtyTwoBitsDoNotWrap) {
    // A machine up for sixty days; its count of milliseconds no longer fits
    // 32 bits (the up time itself is tested with the machine).
    EXPECT_EQ(FormatSeconds(60LL * 86400 + 3661, true, false, false),
              "1 Month, 4 Weeks, 1 Day, 1 Hour, 1 Minute, 1 Second.");
    // One second past 2^32: a 32-bit count would say "1 Second.".
    EXPECT_EQ(FormatSeconds(0x100000001LL, true, false, false),
              "1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, 28 Minutes, 17 Seconds.");
    EXPECT_EQ(FormatSeconds(0x100000001LL, true, false, true), "06:28:17");
}

}  // namespace
