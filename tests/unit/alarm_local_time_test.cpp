#include "alarm/local_time.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Clock changes as the zone tables write them: week 5 is the last one.
ClockChange Change(int32_t month, int32_t week, int32_t hour)
{
    ClockChange change;
    change.month = month;
    change.week = week;
    change.weekday = 0;  // Sunday
    change.hour = hour;
    return change;
}

DaylightRule Rule(ClockChange start, ClockChange end)
{
    DaylightRule rule;
    rule.start = start;
    rule.end = end;
    return rule;
}

TEST(LocalTime, CalendarFieldsOfKnownMoments)
{
    struct Case {
        int64_t seconds;
        LocalFields expected;
    };
    const Case cases[] = {
        {0, {1970, 1, 1, 0, 0, 0}},
        {-1, {1969, 12, 31, 23, 59, 59}},
        {68169600, {1972, 2, 29, 0, 0, 0}},
        {951868799, {2000, 2, 29, 23, 59, 59}},
        {978307199, {2000, 12, 31, 23, 59, 59}},
        {983404800, {2001, 3, 1, 0, 0, 0}},
        {std::numeric_limits<int32_t>::max(), {2038, 1, 19, 3, 14, 7}},
        {std::numeric_limits<int32_t>::min(), {1901, 12, 13, 20, 45, 52}},
    };
    for (const Case& c : cases) {
        LocalFields f = FieldsFromSeconds(c.seconds);
        EXPECT_EQ(c.expected.year, f.year) << c.seconds;
        EXPECT_EQ(c.expected.month, f.month) << c.seconds;
        EXPECT_EQ(c.expected.day, f.day) << c.seconds;
        EXPECT_EQ(c.expected.hour, f.hour) << c.seconds;
        EXPECT_EQ(c.expected.minute, f.minute) << c.seconds;
        EXPECT_EQ(c.expected.second, f.second) << c.seconds;
    }
}

TEST(LocalTime, EveryDayFollowsTheOneBeforeAcrossTheWholeRange)
{
    // Walking day by day must step the date exactly like a calendar does and
    // agree with the day count, from the first to the last time value.
    const int64_t firstDay = -24855;  // 1901-12-14
    const int64_t lastDay = 24855;    // 2038-01-19
    LocalFields previous = FieldsFromSeconds(firstDay * 86400);
    for (int64_t day = firstDay + 1; day <= lastDay; ++day) {
        LocalFields f = FieldsFromSeconds(day * 86400 + 43200);
        ASSERT_EQ(day, DaysFromCivil(f.year, f.month, f.day));
        if (previous.day < DaysInMonth(previous.year, previous.month)) {
            ASSERT_EQ(previous.day + 1, f.day);
            ASSERT_EQ(previous.month, f.month);
        } else {
            ASSERT_EQ(1, f.day);
            ASSERT_EQ(previous.month % 12 + 1, f.month);
            ASSERT_EQ(previous.year + (previous.month == 12 ? 1 : 0), f.year);
        }
        ASSERT_EQ(12, f.hour);
        previous = f;
    }
    EXPECT_EQ(29, DaysInMonth(2000, 2));
    EXPECT_EQ(28, DaysInMonth(2001, 2));
    EXPECT_EQ(29, DaysInMonth(1972, 2));
}

TEST(LocalTime, DaylightTimeBeginsAndEndsAtTheZonesSwitchMoments)
{
    struct Case {
        const char* zone;
        FixedZoneRules rules;
        int32_t start;  // first second of daylight time
        int32_t end;    // first second of standard time again
    };
    const Case cases[] = {
        // UTC-5, second Sunday of March 02:00 to first Sunday of November 02:00.
        {"US 2026", FixedZoneRules(300, Rule(Change(3, 2, 2), Change(11, 1, 2))), 1772953200, 1793512800},
        {"US 1970", FixedZoneRules(300, Rule(Change(3, 2, 2), Change(11, 1, 2))), 5727600, 26287200},
        {"US 2037", FixedZoneRules(300, Rule(Change(3, 2, 2), Change(11, 1, 2))), 2120108400, 2140668000},
        // UTC+1, last Sunday of March 02:00 to last Sunday of October 03:00:
        // the last Sunday is the fifth in some years and the fourth in others.
        {"EU 2026", FixedZoneRules(-60, Rule(Change(3, 5, 2), Change(10, 5, 3))), 1774746000, 1792890000},
        {"EU 2027", FixedZoneRules(-60, Rule(Change(3, 5, 2), Change(10, 5, 3))), 1806195600, 1824944400},
    };
    for (const Case& c : cases) {
        int32_t bias = 0;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.start - 1, bias)) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.start, bias)) << c.zone;
        EXPECT_EQ(-60, bias) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.end - 1, bias)) << c.zone;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.end, bias)) << c.zone;
    }
}

TEST(LocalTime, SouthernZoneIsInDaylightTimeAcrossTheNewYear)
{
    // UTC+10, in DST from the first Sunday of October 02:00 to the first
    // Sunday of April 03:00 (daylight clock).
    FixedZoneRules sydney(-600, Rule(Change(10, 1, 2), Change(4, 1, 3)));
    const int32_t end2026 = 1775318400;    // 2026-04-04 16:00 UTC
    const int32_t start2026 = 1791043200;  // 2026-10-03 16:00 UTC
    int32_t bias = 0;
    EXPECT_TRUE(sydney.IsDaylightTime(1767225600, bias));  // 2026-01-01 00:00 UTC
    EXPECT_TRUE(sydney.IsDaylightTime(end2026 - 1, bias));
    EXPECT_FALSE(sydney.IsDaylightTime(end2026, bias));
    EXPECT_FALSE(sydney.IsDaylightTime(start2026 - 1, bias));
    EXPECT_TRUE(sydney.IsDaylightTime(start2026, bias));
    LocalFields summer = sydney.ToLocal(1767225600);
    EXPECT_EQ(11, summer.hour);  // UTC+11 on New Year's Day
}

TEST(LocalTime, FixedDayChangesAndChangesAtTheEndOfTheDay)
{
    ClockChange start;  // 1 April 00:00
    start.month = 4;
    start.dayOfMonth = 1;
    ClockChange end;  // 30 September 23:59:59 on the daylight clock, rounded up
    end.month = 9;
    end.dayOfMonth = 30;
    end.hour = 23;
    end.minute = 59;
    end.second = 60;
    FixedZoneRules zone(0, Rule(start, end));
    int32_t bias = 0;
    const int32_t april1 = 1775001600;      // 2026-04-01 00:00 UTC
    const int32_t october1 = 1790812800;    // 2026-10-01 00:00 UTC
    EXPECT_FALSE(zone.IsDaylightTime(april1 - 1, bias));
    EXPECT_TRUE(zone.IsDaylightTime(april1, bias));
    EXPECT_TRUE(zone.IsDaylightTime(october1 - 3600 - 1, bias));
    EXPECT_FALSE(zone.IsDaylightTime(october1 - 3600, bias));
}

}  // namespace
