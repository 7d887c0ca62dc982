#pragma once
// The alarm's date and time as the user reads and types them: a date
// month/day/year and a time on the 12-hour clock with "AM" or "PM", both in
// local time, and their conversion to and from a time value.
#include "alarm/local_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The numbers of a date text, none range-checked.
struct AlarmDate {
    int32_t month = 0;
    int32_t day = 0;
    int32_t year = 0;
};

// The numbers of a time text, not range-checked; bMorning is set for "AM".
struct AlarmClock {
    int32_t hour = 0;
    int32_t minute = 0;
    bool bMorning = false;
};

struct AlarmTexts {
    std::string strDate;
    std::string strTime;
};

// The time has a ":" and a capital "AM" or "PM" anywhere; a date (in the
// checks below) is three numbers split by "/" or "-". Each number skips
// leading white space, takes a sign and digits and stops at anything else
// (no digits: 0).
std::optional<AlarmClock> ParseAlarmTime(std::string_view text);

// The settings dialog's only checks: whether the texts parse.
bool CheckAlarmDate(std::string_view text);
bool CheckAlarmTime(std::string_view text);

// The time value of a date and a time text in local time, or nothing when the
// texts do not parse or name a moment that a time value cannot hold (outside
// 1970-01-01 00:00:00 UTC .. 2038-01-19 03:14:07 UTC). Years 0..50 mean
// 2000..2050, 51..99 and negative years gain 1900, years from 100 on are
// taken as written. Out-of-range months carry into the year; days, hours and
// minutes count on.
std::optional<int32_t> TryMakeAlarmTime(std::string_view date, std::string_view time,
                                        const LocalTimeRules& rules);

// The two display texts of a time value: "%2d/%2d/%2d" (month, day, year
// modulo 100) and "%2d:%2.2d %s" on the 12-hour clock. A negative value has
// no calendar form and shows the present moment instead.
AlarmTexts FormatAlarmText(int32_t time, const LocalTimeRules& rules);
