#include "alarm/local_time.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace {

std::string Text(const LocalFields& f)
{
    char text[40];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

TEST(LocalTime, CalendarFieldsOfKnownMoments)
{
    struct Case { int64_t seconds; const char* expected; };
    const Case cases[] = {
        {0, "1970-01-01 00:00:00"},
        {-1, "1969-12-31 23:59:59"},
        {68169600, "1972-02-29 00:00:00"},
        {951868799, "2000-02-29 23:59:59"},
        {std::numeric_limits<int32_t>::max(), "2038-01-19 03:14:07"},
        {std::numeric_limits<int32_t>::min(), "1901-12-13 20:45:52"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Text(FieldsFromSeconds(c.seconds))) << c.seconds;
}

TEST(LocalTime, EveryDayFollowsTheOneBeforeAcrossTheWholeRange)
{
    LocalFields previous = FieldsFromSeconds(-24855 * 86400);  // 1901-12-14
    for (int64_t day = -24854; day <= 24855; ++day) {          // .. 2038-01-19
        LocalFields f = FieldsFromSeconds(day * 86400 + 43200);
        ASSERT_EQ(day, DaysFromCivil(f.year, f.month, f.day));
        bool bMonthEnds = previous.day == DaysInMonth(previous.year, previous.month);
        ASSERT_EQ(bMonthEnds ? 1 : previous.day + 1, f.day) << Text(f);
        ASSERT_EQ(bMonthEnds ? previous.month % 12 + 1 : previous.month, f.month) << Text(f);
        ASSERT_EQ(previous.year + (bMonthEnds && previous.month == 12), f.year) << Text(f);
        ASSERT_EQ(12, f.hour);
        previous = f;
    }
}

TEST(LocalTime, DaylightTimeBeginsAndEndsAtTheZonesSwitchMoments)
{
    struct Case { const char* zone; FixedZoneRules rules; int32_t start; int32_t end; };
    // Week 5 is the last one: the fifth in some years, the fourth in others.
    const DaylightRule us{-60, {3, 2, 0, 0, 2}, {11, 1, 0, 0, 2}};
    const DaylightRule eu{-60, {3, 5, 0, 0, 2}, {10, 5, 0, 0, 3}};
    const DaylightRule south{-60, {10, 1, 0, 0, 2}, {4, 1, 0, 0, 3}};  // in force across the new year
    // 1 April 00:00 to 30 September 23:59:60 on the daylight clock.
    const DaylightRule fixedDays{-60, {4, 0, 0, 1}, {9, 0, 0, 30, 23, 59, 60}};
    // start: first second of daylight time; end: first second of standard time again
    const Case cases[] = {
        {"US 2026", FixedZoneRules(300, us), 1772953200, 1793512800},
        {"EU 2026", FixedZoneRules(-60, eu), 1774746000, 1792890000},
        {"EU 2027", FixedZoneRules(-60, eu), 1806195600, 1824944400},
        {"South 2026", FixedZoneRules(-600, south), 1791043200, 1775318400},
        {"Fixed days 2026", FixedZoneRules(0, fixedDays), 1775001600, 1790809200},
    };
    for (const Case& c : cases) {
        int32_t bias = 0;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.start - 1, bias)) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.start, bias)) << c.zone;
        EXPECT_EQ(-60, bias) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.end - 1, bias)) << c.zone;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.end, bias)) << c.zone;
    }
    EXPECT_EQ("2026-01-01 11:00:00", Text(FixedZoneRules(-600, south).ToLocal(1767225600)));
}

}  // namespace
