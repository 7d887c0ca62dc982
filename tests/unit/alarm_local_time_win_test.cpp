#include "alarm/alarm_text.h"
#include "alarm/local_time.h"

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

}  // namespace
