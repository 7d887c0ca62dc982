#pragma once
// How long a note's alarm timer waits. The timer counts milliseconds in 32
// bits and knows nothing of the wall clock, so a wait is never longer than
// one step and the clock is read again whenever the timer goes off: an alarm
// far ahead, or one whose timer ran fast, goes off at its time and not before.
#include <cstdint>
#include <optional>

// The longest single wait; an alarm further ahead re-arms at each step.
constexpr uint32_t kAlarmStepMs = 60u * 60u * 1000u;

// The wait when an alarm is armed, given the present in milliseconds since
// 1970: an alarm before the present second waits one second, one in the
// present second does not wait, a later one waits until its second begins.
uint32_t AlarmArmPeriod(int32_t alarmTime, int64_t nowMs);

// When the timer goes off: nothing if the alarm's second has begun (it
// rings now), otherwise the wait that is left.
std::optional<uint32_t> AlarmWaitLeft(int32_t alarmTime, int64_t nowMs);
