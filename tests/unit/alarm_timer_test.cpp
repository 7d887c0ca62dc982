#include "alarm/alarm_timer.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kAlarm = 1'000'000'000;
constexpr int64_t kAlarmMs = int64_t(kAlarm) * 1000;
constexpr int64_t kRings = -1;

TEST(AlarmTimer, ArmsAndReArmsNeverEarlyAndAtMostOneStep)
{
    struct Case { int32_t alarm; int64_t nowMs; uint32_t arm; int64_t left; };  // arm, then wait left
    const uint32_t step = kAlarmStepMs;
    const Case cases[] = {
        {kAlarm - 1, kAlarmMs, 1000, kRings},  // a past second waits one second, however old
        {kAlarm - 1, kAlarmMs + 999, 1000, kRings},
        {-1, kAlarmMs, 1000, kRings},
        {kAlarm, kAlarmMs, 0, kRings},  // the present second, also late in it, at once
        {kAlarm, kAlarmMs + 999, 0, kRings},
        {-1, -500, 0, kRings},  // a clock before 1970 counts whole seconds down, too
        {kAlarm + 1, kAlarmMs + 999, 1, 1},  // a later one exactly until it begins
        {kAlarm + 3, kAlarmMs + 700, 2300, 2300},
        {kAlarm, kAlarmMs - 15, 15, 15},  // the timer ran fast
        {kAlarm, kAlarmMs - 3'600'000, step, step},  // the clock was put back an hour
        {int32_t(kAlarm + step / 1000 + 1), kAlarmMs, step, step},
        {kAlarm + 4'294'968, kAlarmMs, step, step},  // beyond 32 bits of milliseconds
        {INT32_MAX, 0, step, step},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.arm, AlarmArmPeriod(c.alarm, c.nowMs)) << c.alarm << ' ' << c.nowMs;
        std::optional<uint32_t> left = AlarmWaitLeft(c.alarm, c.nowMs);
        EXPECT_EQ(c.left, left ? int64_t(*left) : kRings) << c.alarm << ' ' << c.nowMs;
    }
    // Stepping to an alarm 60 days ahead, the clock advancing by each wait,
    // rings at its second, one step an hour.
    const int32_t alarm = kAlarm + 60 * 86400;
    int64_t now = kAlarmMs + 250;
    int steps = 0;
    for (uint32_t wait = AlarmArmPeriod(alarm, now); wait > 0 && steps < 10000; ++steps) {
        now += wait;
        wait = AlarmWaitLeft(alarm, now).value_or(0);
    }
    EXPECT_EQ(int64_t(alarm) * 1000, now);
    EXPECT_EQ(60 * 24, steps);
}

}  // namespace
