#include "alarm/alarm_text.h"
#include "alarm/local_time.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(runtime->tm_year + 1900, f.year) << t;
        EXPECT_EQ(runtime->tm_mon + 1, f.month) << t;
        EXPECT_EQ(runtime->tm_mday, f.day) << t;
        EXPECT_EQ(runtime->tm_hour, f.hour) << t;
        EXPECT_EQ(runtime->tm_min, f.minute) << t;
        EXPECT_EQ(runtime->tm_sec, f.second) << t;
        tm local = {};
        local.tm_year = f.year - 1900;
        local.tm_mon = f.month - 1;
        local.tm_mday = f.day;
        local.tm_hour = f.hour;
        local.tm_min = f.minute;
        local.tm_isdst = -1;
        const AlarmTexts texts = FormatAlarmText(t, rules);
        EXPECT_EQ(int64_t(mktime(&local)), TryMakeAlarmTime(texts.strDate, texts.strTime, rules).value_or(-1))
            << texts.strDate << ' ' << texts.strTime;
    }
}

}  // namespace
