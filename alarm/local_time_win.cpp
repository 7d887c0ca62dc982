#include "alarm/local_time_win.h"

#include <limits>

namespace {

// A clock change of the zone tables: wYear 0 means "the wDay-th wDayOfWeek"
// (5 = last) of the month, any other wYear a fixed date in that year.
ClockChange ClockChangeOf(const SYSTEMTIME& when)
{
    ClockChange change;
    change.month = when.wMonth;
    if (when.wYear != 0) {
        change.dayOfMonth = when.wDay;
    } else {
        change.week = when.wDay;
        change.weekday = when.wDayOfWeek;
    }
    change.hour = when.wHour;
    change.minute = when.wMinute;
    // Some zones change at 23:59:59.999: for whole seconds that is the next one.
    change.second = when.wSecond + (when.wMilliseconds != 0 ? 1 : 0);
    return change;
}

class CWinLocalTimeRules : public LocalTimeRules {
public:
    int32_t StandardBias() const override
    {
        TIME_ZONE_INFORMATION zone;
        if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
            return 0;
        return zone.Bias + zone.StandardBias;
    }

    // Judged by the zone's rules of that year, so that moments in years with
    // other clock-change dates than the present one come out right.
    bool IsDaylightTime(int32_t utc, int32_t& daylightBias) const override
    {
        int32_t year = FieldsFromSeconds(int64_t(utc) - int64_t(StandardBias()) * 60).year;
        TIME_ZONE_INFORMATION zone;
        if (!GetTimeZoneInformationForYear(USHORT(year), nullptr, &zone)
            && GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
            return false;
        return IsZoneDaylightTime(zone, year, utc, daylightBias);
    }

    int32_t Now() const override
    {
        int64_t ms = SystemNowMs();
        int64_t seconds = FloorDiv(ms, 1000);
        if (seconds < 0)
            return 0;
        if (seconds > std::numeric_limits<int32_t>::max())
            return std::numeric_limits<int32_t>::max();
        return int32_t(seconds);
    }
};

}  // namespace

bool IsZoneDaylightTime(const TIME_ZONE_INFORMATION& zone, int32_t year, int32_t utc, int32_t& daylightBias)
{
    if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0)
        return false;
    DaylightRule rule;
    rule.daylightBias = zone.DaylightBias - zone.StandardBias;
    rule.start = ClockChangeOf(zone.DaylightDate);
    rule.end = ClockChangeOf(zone.StandardDate);
    if (!IsDaylightTimeInYear(utc, year, zone.Bias + zone.StandardBias, rule))
        return false;
    daylightBias = rule.daylightBias;
    return true;
}

int64_t SystemNowMs()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // 100-nanosecond ticks since 1601-01-01; 1970 lies 11,644,473,600 s later.
    int64_t ticks = int64_t((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return ticks / 10000 - 11644473600000LL;
}

const LocalTimeRules& SystemLocalTimeRules()
{
    static const CWinLocalTimeRules rules;
    return rules;
}
