#pragma once
// What the Alarm Settings dialog's OK makes of its two texts.
#include "alarm/local_time.h"

#include <cstdint>
#include <string_view>

enum class AlarmTextFault { none, date, time };

struct AlarmTextCheck {
    AlarmTextFault fault = AlarmTextFault::none;
    int32_t nTime = -1;  // the alarm's time value when there is no fault
};

// The date is judged first, so one OK reports one fault. Texts that parse
// but name a moment that a time value cannot hold are a bad date: stored,
// they would be the failure value -1 and ring at once.
AlarmTextCheck CheckAlarmTexts(std::string_view date, std::string_view time, const LocalTimeRules& rules);

enum class AlarmField { date, time };

// The complaint when the user leaves a field whose text does not parse
// (padded, as the dialog always showed it); null when it parses.
const char* LeavingFieldComplaint(AlarmField field, std::string_view text);
// The complaint of an OK that the texts refuse; null when they are accepted.
const char* OkComplaint(AlarmTextFault fault);
