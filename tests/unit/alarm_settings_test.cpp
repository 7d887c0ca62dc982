#include "alarm/alarm_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(AlarmSettings, OkJudgesTheDateFirstAndRefusesMomentsATimeValueCannotHold)
{
    const FixedZoneRules utc(0);
    struct Case { const char* date; const char* time; AlarmTextFault fault; int32_t nTime; };
    const Case cases[] = {
        {"12-31", "10:30", AlarmTextFault::date, -1},
        {"12/31/26", "10:30 pm", AlarmTextFault::time, -1},
        {" 1/ 1/70", "12:00 AM", AlarmTextFault::none, 0},
        {"12/31/1999", "11:59 PM", AlarmTextFault::none, 946684740},
        {"1/19/38", "3:14 AM", AlarmTextFault::none, 2147483640},  // the last minute that fits
        // 2040, 1969 and past 2038-01-19 03:14 UTC: a bad date, not a stored -1.
        {"1/1/40", "3:15 AM", AlarmTextFault::date, -1},
        {"12/31/69", "3:15 AM", AlarmTextFault::date, -1},
        {"1/19/2038", "3:15 AM", AlarmTextFault::date, -1},
    };
    for (const Case& c : cases) {
        AlarmTextCheck check = CheckAlarmTexts(c.date, c.time, utc);
        EXPECT_EQ(c.fault, check.fault) << c.date << ' ' << c.time;
        EXPECT_EQ(c.nTime, check.nTime) << c.date << ' ' << c.time;
    }
}

TEST(AlarmSettings, ComplaintsOnLeavingAFieldAreItsOwnAndOkSaysWhichTextIsWrong)
{
    EXPECT_STREQ(LeavingFieldComplaint(AlarmField::date, "12-31"), "Invalid Date!             ");
    EXPECT_EQ(LeavingFieldComplaint(AlarmField::date, "12/31/26"), nullptr);
    // Each field is judged by its own rule: a date text is no time.
    EXPECT_STREQ(LeavingFieldComplaint(AlarmField::time, "12/31/26"), "Invalid Time!             ");
    EXPECT_EQ(LeavingFieldComplaint(AlarmField::time, "10:30 PM"), nullptr);

    EXPECT_STREQ(OkComplaint(AlarmTextFault::date), "Invalid Date!");
    EXPECT_STREQ(OkComplaint(AlarmTextFault::time), "Invalid Time!");
    EXPECT_EQ(OkComplaint(AlarmTextFault::none), nullptr);
}

}  // namespace
