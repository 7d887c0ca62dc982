// The alarm timer's waits: the arming rules for past, present and future
// alarms, the cap of one step, and the clock check when the timer goes off.
#include "alarm/alarm_timer.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kAlarm = 1'000'000'000;
constexpr int64_t kAlarmMs = int64_t(kAlarm) * 1000;

TEST(AlarmArmPeriod, PastPresentAndFutureSeconds)
{
    // Any moment before the present second waits one second, however old.
    EXPECT_EQ(1000u, AlarmArmPeriod(kAlarm - 1, kAlarmMs));
    EXPECT_EQ(1000u, AlarmArmPeriod(kAlarm - 1, kAlarmMs + 999));
    EXPECT_EQ(1000u, AlarmArmPeriod(-1, kAlarmMs));
    EXPECT_EQ(1000u, AlarmArmPeriod(0, kAlarmMs));
    // The present second, also late in it, goes off at once.
    EXPECT_EQ(0u, AlarmArmPeriod(kAlarm, kAlarmMs));
    EXPECT_EQ(0u, AlarmArmPeriod(kAlarm, kAlarmMs + 999));
    // A later second: exactly until it begins, never before.
    EXPECT_EQ(1u, AlarmArmPeriod(kAlarm + 1, kAlarmMs + 999));
    EXPECT_EQ(1000u, AlarmArmPeriod(kAlarm + 1, kAlarmMs));
    EXPECT_EQ(2300u, AlarmArmPeriod(kAlarm + 3, kAlarmMs + 700));
}

TEST(AlarmArmPeriod, FarAlarmsWaitOneStepAtATime)
{
    const int64_t stepSeconds = kAlarmStepMs / 1000;
    EXPECT_EQ(kAlarmStepMs, AlarmArmPeriod(int32_t(kAlarm + stepSeconds), kAlarmMs));
    EXPECT_EQ(kAlarmStepMs, AlarmArmPeriod(int32_t(kAlarm + stepSeconds + 1), kAlarmMs));
    // Beyond what 32 bits of milliseconds hold (49.7 days), up to 2038.
    EXPECT_EQ(kAlarmStepMs, AlarmArmPeriod(INT32_MAX, 0));
    EXPECT_EQ(kAlarmStepMs, AlarmArmPeriod(kAlarm + 4'294'968, kAlarmMs));
}

TEST(AlarmWaitLeft, RingsOnlyOnceTheSecondHasBegun)
{
    EXPECT_FALSE(AlarmWaitLeft(kAlarm, kAlarmMs).has_value());
    EXPECT_FALSE(AlarmWaitLeft(kAlarm, kAlarmMs + 999).has_value());
    EXPECT_FALSE(AlarmWaitLeft(kAlarm - 100, kAlarmMs).has_value());
    EXPECT_FALSE(AlarmWaitLeft(-1, kAlarmMs).has_value());
    // A timer that ran a little fast waits for the rest.
    EXPECT_EQ(std::optional<uint32_t>(15u), AlarmWaitLeft(kAlarm, kAlarmMs - 15));
    EXPECT_EQ(std::optional<uint32_t>(1u), AlarmWaitLeft(kAlarm, kAlarmMs - 1));
}

TEST(AlarmWaitLeft, SteppingReachesAFarAlarmAtItsTime)
{
    // Each step re-arms with what AlarmWaitLeft gives, the clock advancing
    // by the wait; the alarm must ring at its second and not before.
    const int32_t alarm = kAlarm + 60 * 86400;  // 60 days ahead
    int64_t now = kAlarmMs + 250;
    uint32_t wait = AlarmArmPeriod(alarm, now);
    int steps = 0;
    for (;;) {
        now += wait;
        ++steps;
        std::optional<uint32_t> left = AlarmWaitLeft(alarm, now);
        if (!left)
            break;
        ASSERT_GT(*left, 0u);
        ASSERT_LE(*left, kAlarmStepMs);
        wait = *left;
        ASSERT_LT(steps, 10000);
    }
    EXPECT_EQ(int64_t(alarm) * 1000, now);
    EXPECT_EQ(60 * 24, steps);
}

TEST(AlarmWaitLeft, ClockSetBackMakesTheAlarmWaitAgain)
{
    // The timer went off on its ticks, but the wall clock was put back an
    // hour meanwhile: the alarm is an hour away again.
    EXPECT_EQ(std::optional<uint32_t>(3'600'000u), AlarmWaitLeft(kAlarm, kAlarmMs - 3'600'000));
}

}  // namespace
