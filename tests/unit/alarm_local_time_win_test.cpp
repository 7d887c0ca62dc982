#include "alarm/alarm_text.h"
#include "alarm/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

// The C runtime reads the zone from TZ when it is set; without it, it asks
// Windows, which is what the program's own rules must agree with.
class SystemLocalTime : public ::testing::Test {
protected:
    void SetUp() override
    {
        _putenv("TZ=");
        _tzset();
    }

    // Moments of a year either side of today, avoiding the hours next to a
    // clock change, where the runtime may read an ambiguous time its own way.
    static std::vector<int32_t> Moments(const LocalTimeRules& rules)
    {
        std::vector<int32_t> moments;
        const int32_t now = rules.Now();
        for (int32_t k = -40; k <= 40; ++k) {
            int32_t t = now + k * (9 * 86400 + 5 * 3600 + 17 * 60);
            int32_t bias = 0;
            if (rules.IsDaylightTime(t - 3 * 3600, bias) == rules.IsDaylightTime(t + 3 * 3600, bias))
                moments.push_back(t);
        }
        return moments;
    }
};

TEST_F(SystemLocalTime, BreaksMomentsIntoTheSameFieldsAsTheRuntime)
{
    const LocalTimeRules& rules = SystemLocalTimeRules();
    EXPECT_EQ(long(_timezone), long(rules.StandardBias()) * 60);

    for (int32_t t : Moments(rules)) {
        time_t moment = t;
        const tm* runtime = localtime(&moment);
        ASSERT_NE(nullptr, runtime);
        LocalFields fields = rules.ToLocal(t);
        EXPECT_EQ(runtime->tm_year + 1900, fields.year) << t;
        EXPECT_EQ(runtime->tm_mon + 1, fields.month) << t;
        EXPECT_EQ(runtime->tm_mday, fields.day) << t;
        EXPECT_EQ(runtime->tm_hour, fields.hour) << t;
        EXPECT_EQ(runtime->tm_min, fields.minute) << t;
        EXPECT_EQ(runtime->tm_sec, fields.second) << t;
    }
}

TEST_F(SystemLocalTime, ConvertsTextsToTheSameMomentsAsTheRuntime)
{
    const LocalTimeRules& rules = SystemLocalTimeRules();
    for (int32_t t : Moments(rules)) {
        AlarmTexts texts = FormatAlarmText(t, rules);
        LocalFields fields = rules.ToLocal(t);
        tm local = {};
        local.tm_year = fields.year - 1900;
        local.tm_mon = fields.month - 1;
        local.tm_mday = fields.day;
        local.tm_hour = fields.hour;
        local.tm_min = fields.minute;
        local.tm_isdst = -1;
        EXPECT_EQ(int64_t(mktime(&local)), MakeAlarmTime(texts.strDate, texts.strTime, rules))
            << texts.strDate << ' ' << texts.strTime;
    }
}

TEST_F(SystemLocalTime, NowIsTheSystemClock)
{
    int64_t before = int64_t(time(nullptr));
    int32_t now = SystemLocalTimeRules().Now();
    int64_t after = int64_t(time(nullptr));
    EXPECT_LE(before, now);
    EXPECT_GE(after, now);
}

}  // namespace
