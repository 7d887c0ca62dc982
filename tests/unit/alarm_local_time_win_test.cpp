#include "alarm/alarm_text.h"
#include "alarm/local_time_win.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ctime>

namespace {

// With TZ unset the C runtime asks Windows for the zone, as the program's
// own rules do: both must give the same fields and the same moments.
TEST(SystemLocalTime, AgreesWithTheRuntimeAndItsClock)
{
    _putenv("TZ=");
    _tzset();
    const LocalTimeRules& rules = SystemLocalTimeRules();
    EXPECT_EQ(long(_timezone), long(rules.StandardBias()) * 60);
    const int64_t before = int64_t(time(nullptr));
    const int32_t now = rules.Now();
    EXPECT_LE(before, now);
    EXPECT_GE(int64_t(time(nullptr)), now);

    // Moments a year either side of today, away from the hours next to a
    // clock change, which the runtime may read its own way.
    for (int32_t k = -40; k <= 40; ++k) {
        const int32_t t = now + k * (9 * 86400 + 5 * 3600 + 17 * 60);
        int32_t bias = 0;
        if (rules.IsDaylightTime(t - 3 * 3600, bias) != rules.IsDaylightTime(t + 3 * 3600, bias))
            continue;
        time_t moment = t;
        const tm* runtime = localtime(&moment);
        ASSERT_NE(nullptr, runtime);
        const LocalFields f = rules.ToLocal(t);
        EXPECT_EQ((std::array<int, 6>{runtime->tm_year + 1900, runtime->tm_mon + 1, runtime->tm_mday, runtime->tm_hour,
                                      runtime->tm_min, runtime->tm_sec}),
                  (std::array<int, 6>{f.year, f.month, f.day, f.hour, f.minute, f.second})) << t;
        tm local = *runtime;
        local.tm_sec = 0;
        local.tm_isdst = -1;
        const AlarmTexts texts = FormatAlarmText(t, rules);
        EXPECT_EQ(int64_t(mktime(&local)), TryMakeAlarmTime(texts.strDate, texts.strTime, rules).value_or(-1))
            << texts.strDate << ' ' << texts.strTime;
    }
}

// The zone structures as Windows gives them, read for 2026 (this machine's
// own zone has no clock changes): the last Sundays of March and October in
// Central Europe, the first of October and April in eastern Australia, and
// fixed dates with a change at 23:59:59.999.
TEST(SystemLocalTime, ZoneStructuresGiveTheirClockChangesNorthAndSouth)
{
    TIME_ZONE_INFORMATION europe = {}, australia = {}, fixed = {};
    europe.Bias = -60;
    europe.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};  // year, month, weekday, week or day, hour, minute...
    europe.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    australia.Bias = -600;
    australia.DaylightDate = {0, 10, 0, 1, 2, 0, 0, 0};
    australia.StandardDate = {0, 4, 0, 1, 3, 0, 0, 0};
    fixed.DaylightDate = {2026, 4, 0, 1, 0, 0, 0, 0};
    fixed.StandardDate = {2026, 9, 0, 30, 23, 59, 59, 999};
    for (TIME_ZONE_INFORMATION* zone : {&europe, &australia, &fixed})
        zone->DaylightBias = -60;
    // start: the first second of daylight time; end: the first of standard time again.
    const struct { const char* name; const TIME_ZONE_INFORMATION& zone; int32_t start, end; } cases[] = {
        {"Europe", europe, 1774746000, 1792890000},
        {"Australia", australia, 1791043200, 1775318400},
        {"fixed", fixed, 1775001600, 1790809200},
    };
    for (const auto& c : cases) {
        int32_t bias = 0;
        EXPECT_FALSE(IsZoneDaylightTime(c.zone, 2026, c.start - 1, bias)) << c.name;
        EXPECT_TRUE(IsZoneDaylightTime(c.zone, 2026, c.start, bias) && bias == -60) << c.name;
        EXPECT_TRUE(IsZoneDaylightTime(c.zone, 2026, c.end - 1, bias)) << c.name;
        EXPECT_FALSE(IsZoneDaylightTime(c.zone, 2026, c.end, bias)) << c.name;
    }
    europe.StandardDate.wMonth = 0;  // no clock changes
    int32_t bias = 0;
    EXPECT_FALSE(IsZoneDaylightTime(europe, 2026, 1783180800, bias));
}

}  // namespace
