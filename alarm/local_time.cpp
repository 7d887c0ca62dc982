#include "alarm/local_time.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int32_t kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

bool IsLeapYear(int64_t year) { return year % 4 == 0; }

int32_t DaysBeforeMonth(int64_t year, int32_t month)
{
    return kDaysBeforeMonth[month - 1] + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

// Local clock seconds since 1970-01-01 00:00 at which a clock change happens.
int64_t ClockChangeSeconds(const ClockChange& change, int32_t year)
{
    int64_t day;
    if (change.dayOfMonth != 0) {
        day = DaysFromCivil(year, change.month, change.dayOfMonth);
    } else {
        int64_t first = DaysFromCivil(year, change.month, 1);
        int64_t firstWeekday = FloorMod(first + 4, 7);  // 1970-01-01 was a Thursday
        day = first + (change.weekday - firstWeekday + 7) % 7 + int64_t(change.week - 1) * 7;
        // Week 5 means the last such weekday, which may be the fourth.
        while (day - first >= DaysInMonth(year, change.month))
            day -= 7;
    }
    return day * kSecondsPerDay + change.hour * 3600 + change.minute * 60 + change.second;
}

}  // namespace

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int32_t DaysInMonth(int64_t year, int32_t month)
{
    static constexpr int32_t kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kLength[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int64_t DaysFromCivil(int64_t year, int32_t month, int32_t day)
{
    // 492 leap years lie before 1970 counting from year 1.
    int64_t days = (year - 1970) * 365 + FloorDiv(year - 1, 4) - 492;
    return days + DaysBeforeMonth(year, month) + day - 1;
}

LocalFields FieldsFromSeconds(int64_t seconds)
{
    int64_t days = FloorDiv(seconds, kSecondsPerDay);
    int64_t rest = FloorMod(seconds, kSecondsPerDay);

    // Count in four-year cycles from 1968, a leap year, 731 days before 1970.
    int64_t fromCycleStart = days + 731;
    int64_t cycle = FloorDiv(fromCycleStart, 1461);
    int64_t dayOfCycle = fromCycleStart - cycle * 1461;
    int64_t year = 1968 + cycle * 4;
    if (dayOfCycle >= 366) {
        dayOfCycle -= 366;
        year += 1 + dayOfCycle / 365;
        dayOfCycle %= 365;
    }
    int32_t month = 1;
    while (month < 12 && dayOfCycle >= DaysBeforeMonth(year, month + 1))
        ++month;

    LocalFields fields;
    fields.year = int32_t(year);
    fields.month = month;
    fields.day = int32_t(dayOfCycle - DaysBeforeMonth(year, month)) + 1;
    fields.hour = int32_t(rest / 3600);
    fields.minute = int32_t(rest / 60 % 60);
    fields.second = int32_t(rest % 60);
    return fields;
}

LocalFields LocalTimeRules::ToLocal(int32_t utc) const
{
    int32_t bias = StandardBias();
    int32_t daylightBias = 0;
    if (IsDaylightTime(utc, daylightBias))
        bias += daylightBias;
    return FieldsFromSeconds(int64_t(utc) - int64_t(bias) * 60);
}

bool IsDaylightTimeInYear(int64_t utc, int32_t year, int32_t standardBias, const DaylightRule& rule)
{
    if (rule.start.month == 0 || rule.end.month == 0)
        return false;
    int64_t start = ClockChangeSeconds(rule.start, year) + int64_t(standardBias) * 60;
    int64_t end = ClockChangeSeconds(rule.end, year) + int64_t(standardBias + rule.daylightBias) * 60;
    if (start < end)
        return start <= utc && utc < end;
    return utc >= start || utc < end;
}

FixedZoneRules::FixedZoneRules(int32_t standardBias)
    : m_nStandardBias(standardBias), m_bDaylight(false)
{
}

FixedZoneRules::FixedZoneRules(int32_t standardBias, const DaylightRule& rule)
    : m_nStandardBias(standardBias), m_bDaylight(true), m_rule(rule)
{
}

bool FixedZoneRules::IsDaylightTime(int32_t utc, int32_t& daylightBias) const
{
    if (!m_bDaylight)
        return false;
    int32_t year = FieldsFromSeconds(int64_t(utc) - int64_t(m_nStandardBias) * 60).year;
    if (!IsDaylightTimeInYear(utc, year, m_nStandardBias, m_rule))
        return false;
    daylightBias = m_rule.daylightBias;
    return true;
}
