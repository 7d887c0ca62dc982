#include "alarm/alarm_text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsSeparator(char c) { return c == '/' || c == '-'; }

// Lax number reading: white space, one sign, digits; the rest is ignored.
// Digits beyond 32 bits wrap, keeping the low 32 bits.
int32_t ReadNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + uint32_t(text[i] - '0');
    if (negative)
        value = 0u - value;
    return int32_t(value);
}

// Full year of a date text's year: two-digit years name 1951..2050.
int64_t FullYear(int32_t year)
{
    if (year >= 100)
        return year;
    return year >= 0 && year <= 50 ? year + 2000 : int64_t(year) + 1900;
}

// The 24-hour hour of a 12-hour-clock reading; hours past 11 stay as they are.
int64_t DayHour(const AlarmClock& clock)
{
    if (!clock.bMorning && clock.hour >= 0 && clock.hour <= 11)
        return clock.hour + 12;
    if (clock.bMorning && clock.hour == 12)
        return 0;
    return clock.hour;
}

std::optional<int32_t> LocalFieldsToTime(int64_t year, int64_t month, int64_t day, int64_t hour,
                                         int64_t minute, const LocalTimeRules& rules)
{
    constexpr int64_t kFirstYear = 1969;
    constexpr int64_t kLastYear = 2039;
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;
    // Month 13 is January of the next year, month 0 December of the last.
    int64_t monthFromZero = month - 1;
    int64_t carry = FloorDiv(monthFromZero, 12);
    year += carry;
    month = monthFromZero - carry * 12 + 1;
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;

    int64_t days = DaysFromCivil(year, int32_t(month), 1) + day - 1;
    int64_t local = days * 86400 + hour * 3600 + minute * 60;
    int64_t utc = local + int64_t(rules.StandardBias()) * 60;
    if (utc < 0 || utc > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    int32_t daylightBias = 0;
    if (rules.IsDaylightTime(int32_t(utc), daylightBias))
        utc += int64_t(daylightBias) * 60;
    if (utc < 0 || utc > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(utc);
}

// A date is three numbers split by "/" or "-" (mixed at will).
std::optional<AlarmDate> ParseAlarmDate(std::string_view text)
{
    // A separator in the first place belongs to the month (a sign, say).
    size_t firstCut = std::string_view::npos;
    size_t secondCut = std::string_view::npos;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!IsSeparator(text[i]))
            continue;
        if (firstCut == std::string_view::npos)
            firstCut = i;
        else
            secondCut = i;
    }
    if (secondCut == std::string_view::npos)
        return std::nullopt;
    AlarmDate date;
    date.month = ReadNumber(text.substr(0, firstCut));
    date.day = ReadNumber(text.substr(firstCut + 1, secondCut - firstCut - 1));
    date.year = ReadNumber(text.substr(secondCut + 1));
    return date;
}

}  // namespace

std::optional<AlarmClock> ParseAlarmTime(std::string_view text)
{
    size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    AlarmClock clock;
    // "AM" wins wherever it stands, even after a "PM".
    size_t marker = text.find("AM");
    clock.bMorning = marker != std::string_view::npos;
    if (!clock.bMorning) {
        marker = text.find("PM");
        if (marker == std::string_view::npos)
            return std::nullopt;
    }
    clock.hour = ReadNumber(text.substr(0, std::min(colon, marker)));
    size_t minuteEnd = marker > colon ? marker : text.size();
    clock.minute = ReadNumber(text.substr(colon + 1, minuteEnd - colon - 1));
    return clock;
}

bool CheckAlarmDate(std::string_view text) { return ParseAlarmDate(text).has_value(); }

bool CheckAlarmTime(std::string_view text) { return ParseAlarmTime(text).has_value(); }

std::optional<int32_t> TryMakeAlarmTime(std::string_view date, std::string_view time,
                                        const LocalTimeRules& rules)
{
    std::optional<AlarmDate> parsedDate = ParseAlarmDate(date);
    std::optional<AlarmClock> parsedTime = ParseAlarmTime(time);
    if (!parsedDate || !parsedTime)
        return std::nullopt;
    return LocalFieldsToTime(FullYear(parsedDate->year), parsedDate->month, parsedDate->day,
                             DayHour(*parsedTime), parsedTime->minute, rules);
}

AlarmTexts FormatAlarmText(int32_t time, const LocalTimeRules& rules)
{
    if (time < 0)
        time = std::max(rules.Now(), 0);
    LocalFields local = rules.ToLocal(time);
    int32_t hour12 = local.hour % 12 == 0 ? 12 : local.hour % 12;

    char buffer[64];
    AlarmTexts texts;
    std::snprintf(buffer, sizeof buffer, "%2d/%2d/%2d", int(local.month), int(local.day), int(local.year % 100));
    texts.strDate = buffer;
    std::snprintf(buffer, sizeof buffer, "%2d:%2.2d %s", int(hour12), int(local.minute),
                  local.hour < 12 ? "AM" : "PM");
    texts.strTime = buffer;
    return texts;
}
