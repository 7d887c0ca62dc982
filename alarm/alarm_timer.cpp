#include "alarm/alarm_timer.h"

#include "alarm/local_time.h"

#include <algorithm>

namespace {

int64_t WholeSeconds(int64_t ms)
{
    return FloorDiv(ms, 1000);
}

uint32_t UntilSecondBegins(int32_t alarmTime, int64_t nowMs)
{
    int64_t left = int64_t(alarmTime) * 1000 - nowMs;
    return uint32_t(std::clamp<int64_t>(left, 0, kAlarmStepMs));
}

}  // namespace

uint32_t AlarmArmPeriod(int32_t alarmTime, int64_t nowMs)
{
    int64_t now = WholeSeconds(nowMs);
    if (alarmTime < now)
        return 1000;
    if (alarmTime == now)
        return 0;
    return UntilSecondBegins(alarmTime, nowMs);
}

std::optional<uint32_t> AlarmWaitLeft(int32_t alarmTime, int64_t nowMs)
{
    if (alarmTime <= WholeSeconds(nowMs))
        return std::nullopt;
    return UntilSecondBegins(alarmTime, nowMs);
}
