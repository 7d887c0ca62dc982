// The settings dialog's OK: which fault it reports for which texts, and the
// time value it stores when there is none.
#include "alarm/alarm_settings.h"

#include <gtest/gtest.h>

namespace {

const FixedZoneRules kUtc(0);

TEST(AlarmSettings, TheDateIsJudgedBeforeTheTime)
{
    EXPECT_EQ(AlarmTextFault::date, CheckAlarmTexts("12-31", "10:30", kUtc).fault);
    EXPECT_EQ(AlarmTextFault::date, CheckAlarmTexts("12-31", "10:30 PM", kUtc).fault);
    EXPECT_EQ(AlarmTextFault::time, CheckAlarmTexts("12/31/26", "10:30", kUtc).fault);
    EXPECT_EQ(AlarmTextFault::time, CheckAlarmTexts("12/31/26", "10:30 pm", kUtc).fault);
}

TEST(AlarmSettings, AcceptedTextsGiveTheirTimeValue)
{
    AlarmTextCheck check = CheckAlarmTexts(" 1/ 1/70", "12:00 AM", kUtc);
    EXPECT_EQ(AlarmTextFault::none, check.fault);
    EXPECT_EQ(0, check.nTime);
    // A four-digit year is taken as written.
    check = CheckAlarmTexts("12/31/1999", "11:59 PM", kUtc);
    EXPECT_EQ(AlarmTextFault::none, check.fault);
    EXPECT_EQ(946684740, check.nTime);
}

TEST(AlarmSettings, MomentsATimeValueCannotHoldAreABadDateNotMinusOne)
{
    // 2040, 1939 (year 39), before 1970 and past 2038-01-19 03:14 UTC.
    for (const char* date : {"1/1/40", "6/15/39", "12/31/69", "1/19/2038"})
        EXPECT_EQ(AlarmTextFault::date, CheckAlarmTexts(date, "3:15 AM", kUtc).fault) << date;
    // The last minute that fits is accepted.
    EXPECT_EQ(AlarmTextFault::none, CheckAlarmTexts("1/19/38", "3:14 AM", kUtc).fault);
}

}  // namespace
