#include "alarm/alarm_settings.h"

#include "alarm/alarm_text.h"

AlarmTextCheck CheckAlarmTexts(std::string_view date, std::string_view time, const LocalTimeRules& rules)
{
    AlarmTextCheck check;
    if (!CheckAlarmDate(date)) {
        check.fault = AlarmTextFault::date;
    } else if (!CheckAlarmTime(time)) {
        check.fault = AlarmTextFault::time;
    } else if (std::optional<int32_t> nTime = TryMakeAlarmTime(date, time, rules)) {
        check.nTime = *nTime;
    } else {
        check.fault = AlarmTextFault::date;
    }
    return check;
}

const char* LeavingFieldComplaint(AlarmField field, std::string_view text)
{
    if (field == AlarmField::date)
        return CheckAlarmDate(text) ? nullptr : "Invalid Date!             ";
    return CheckAlarmTime(text) ? nullptr : "Invalid Time!             ";
}

const char* OkComplaint(AlarmTextFault fault)
{
    switch (fault) {
    case AlarmTextFault::date: return "Invalid Date!";
    case AlarmTextFault::time: return "Invalid Time!";
    default: return nullptr;
    }
}
