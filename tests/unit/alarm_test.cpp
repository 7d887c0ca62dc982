// Alarm dates and times: the calendar and zone rules, the texts typed and
// shown, the settings dialog's verdicts, and the timer's waits.
#include "alarm/alarm_settings.h"
#include "alarm/alarm_text.h"
#include "alarm/alarm_timer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr int32_t kFailed = -1;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
const FixedZoneRules kIndia(-330);  // UTC+5:30 all year
// UTC-5, an hour ahead from the second Sunday of March to the first Sunday of November, 02:00.
const DaylightRule kUsRule{-60, {3, 2, 0, 0, 2}, {11, 1, 0, 0, 2}};
const FixedZoneRules kEastern(300, kUsRule);

std::string Text(const LocalFields& f)
{
    char text[40];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

TEST(LocalTime, EveryDayFollowsTheOneBeforeAcrossTheWholeRangeFromKnownMoments)
{
    const std::pair<int64_t, const char*> known[] = {
        {0, "1970-01-01 00:00:00"}, {-1, "1969-12-31 23:59:59"}, {68169600, "1972-02-29 00:00:00"},
        {kMax, "2038-01-19 03:14:07"}, {kMin, "1901-12-13 20:45:52"},
    };
    for (const auto& [nSeconds, pszText] : known)
        EXPECT_EQ(pszText, Text(FieldsFromSeconds(nSeconds))) << nSeconds;
    LocalFields previous = FieldsFromSeconds(-24855 * 86400);  // 1901-12-14
    for (int64_t day = -24854; day <= 24855; ++day) {          // .. 2038-01-19
        LocalFields f = FieldsFromSeconds(day * 86400 + 43200);
        ASSERT_EQ(day, DaysFromCivil(f.year, f.month, f.day));
        bool bMonthEnds = previous.day == DaysInMonth(previous.year, previous.month);
        ASSERT_EQ(bMonthEnds ? 1 : previous.day + 1, f.day) << Text(f);
        ASSERT_EQ(bMonthEnds ? previous.month % 12 + 1 : previous.month, f.month) << Text(f);
        ASSERT_EQ(previous.year + (bMonthEnds && previous.month == 12), f.year) << Text(f);
        previous = f;
    }
}

TEST(LocalTime, DaylightTimeBeginsAndEndsAtTheZonesSwitchMoments)
{
    // Week 5 is the last one: the fifth in some years, the fourth in others.
    const DaylightRule eu{-60, {3, 5, 0, 0, 2}, {10, 5, 0, 0, 3}};
    const DaylightRule south{-60, {10, 1, 0, 0, 2}, {4, 1, 0, 0, 3}};  // in force across the new year
    // 1 April 00:00 to 30 September 23:59:60 on the daylight clock.
    const DaylightRule fixedDays{-60, {4, 0, 0, 1}, {9, 0, 0, 30, 23, 59, 60}};
    // start: first second of daylight time; end: first second of standard time again
    const struct { const char* zone; FixedZoneRules rules; int32_t start, end; } cases[] = {
        {"US 2026", kEastern, 1772953200, 1793512800},
        {"EU 2026", FixedZoneRules(-60, eu), 1774746000, 1792890000},
        {"EU 2027", FixedZoneRules(-60, eu), 1806195600, 1824944400},
        {"South 2026", FixedZoneRules(-600, south), 1791043200, 1775318400},
        {"Fixed days 2026", FixedZoneRules(0, fixedDays), 1775001600, 1790809200},
    };
    for (const auto& c : cases) {
        int32_t bias = 0;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.start - 1, bias)) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.start, bias) && bias == -60) << c.zone;
        EXPECT_TRUE(c.rules.IsDaylightTime(c.end - 1, bias)) << c.zone;
        EXPECT_FALSE(c.rules.IsDaylightTime(c.end, bias)) << c.zone;
    }
}

TEST(AlarmText, NumbersSkipBlanksTakeOneSignAndStopAtTheFirstNonDigitAndTextsNeedTheirMarks)
{
    const std::pair<std::string, int32_t> numbers[] = {
        {"x", 0}, {"\t\n\v\f\r 5", 5}, {"+5", 5}, {"-5", -5}, {"- 5", 0}, {"+-5", 0}, {"5x9", 5},
        {"4294967301", 5}, {"2147483648", kMin},  // only the low 32 bits are kept
    };
    for (const auto& [text, nValue] : numbers) {  // read as the hour, up to the ":"
        auto clock = ParseAlarmTime(text + ":0 AM");
        EXPECT_EQ(nValue, clock ? clock->hour : 99) << '"' << text << '"';
    }
    for (const char* text : {"", "12/31", "12-31", "/12/31", "-12-31", "1231"})
        EXPECT_FALSE(CheckAlarmDate(text)) << text;
    for (const char* text : {"10:30", "10 AM", "10:30 am", "10:30 P M", "1030 PM"})
        EXPECT_FALSE(CheckAlarmTime(text)) << text;
}

TEST(AlarmText, TextsConvertToLocalMoments)
{
    // Zone 'I'ndia or 'E'astern; the comment gives the local moment.
    const struct { char zone; const char* date; const char* time; int32_t expected; } cases[] = {
        {'I', "a/b/c", "12:00 PM", 943943400},      // 1999-11-30 12:00
        {'I', "/1/2/99", "12:00 AM", 912537000},    // 1998-12-02: month text "/1"
        {'I', "-1-2-99", "12:00 AM", 909945000},    // 1998-11-02: "-" is the month's sign
        {'I', "1/2/3/4", "12:00 AM", 1072981800},   // 2004-01-02: "2/3" reads as 2
        {'I', "13/1/99", "12:00 AM", 946665000},    // 2000-01-01
        {'I', "3/0/00", "12:00 AM", 951762600},     // 2000-02-29
        {'I', "1/1/01", "AM 10:30", 978289200},     // 00:30
        {'I', "1/1/01", "7:75 PM", 978360300},      // 20:15
        {'I', "1/1/01", "19:00 PM", 978355800},     // 19:00
        {'I', "1/1/01", "0:0 PM", 978330600},       // 12:00
        {'I', "1/1/01", "10:30 PM AM", 978325200},  // 10:30: "AM" anywhere wins
        {'I', "1/1/01", "1:2:3 PM", 978334320},     // 13:02: the first ":" is the cut
        {'I', "12/31/1999", "12:00 AM", 946578600},  // four digits taken as written
        {'I', "-11/18/39", "12:00 AM", 2147365800},  // 2038-01-18: 2039 less 11 months
        {'I', "1/19/38", "8:44 AM", 2147483640},     // 03:14 UTC, the last whole minute
        {'I', "1/19/38", "8:45 AM", kFailed},
        {'I', "1/1/70", "12:2147483647 AM", kFailed},
        {'I', "853/2/4294967295", "12:00 AM", kFailed},  // year -1 is 1899, refused before months carry
        {'E', "7/4/26", "12:00 PM", 1783180800},    // EDT
        {'E', "3/8/26", "3:00 AM", 1772953200},     // first daylight moment
        {'E', "3/8/26", "2:30 AM", 1772951400},     // missing hour: read as standard, i.e. 01:30 EST
        {'E', "11/1/26", "1:30 AM", 1793514600},    // repeated hour: standard time, the second
        {'E', "12/31/69", "6:59 PM", kFailed},
        {'E', "0/31/70", "7:00 PM", 0},             // month 0 carried into 1969
    };
    for (const auto& c : cases) {
        const LocalTimeRules& rules = c.zone == 'I' ? kIndia : kEastern;
        EXPECT_EQ(c.expected, TryMakeAlarmTime(c.date, c.time, rules).value_or(-1)) << c.zone << ' ' << c.date << ' ' << c.time;
    }
}

TEST(AlarmText, DisplayTextsPadWithSpacesAndAValueWithoutCalendarFormShowsThePresent)
{
    FixedZoneRules india = kIndia;
    india.SetNow(920777700);  // 1999-03-07 09:05 at UTC+5:30
    const struct { char zone; int32_t value; const char* date; const char* time; } cases[] = {
        {'I', 920777700, " 3/ 7/99", " 9:05 AM"}, {'I', kFailed, " 3/ 7/99", " 9:05 AM"}, {'I', kMin, " 3/ 7/99", " 9:05 AM"},
        {'I', 977682600, "12/25/ 0", "12:00 AM"},
        {'E', 1130817540, "10/31/ 5", "11:59 PM"},  // daylight time
        {'E', 0, "12/31/69", " 7:00 PM"},
    };
    for (const auto& c : cases) {
        AlarmTexts texts = FormatAlarmText(c.value, c.zone == 'I' ? india : kEastern);
        EXPECT_EQ(c.date, texts.strDate) << c.value;
        EXPECT_EQ(c.time, texts.strTime) << c.value;
    }
}

// Format, convert back, format again: nothing may change, but the first of an
// autumn night's two 01:xx hours comes back as the second (counted in nLater).
TEST(AlarmText, FormattedTextsConvertBackFrom1970To2038)
{
    auto roundTrips = [](const LocalTimeRules& rules, int64_t value, int& nLater) {
        value -= value % 60;
        AlarmTexts texts = FormatAlarmText(int32_t(value), rules);
        int64_t back = TryMakeAlarmTime(texts.strDate, texts.strTime, rules).value_or(kFailed);
        AlarmTexts again = FormatAlarmText(int32_t(back), rules);
        nLater += back == value + 3600;
        if ((back == value || back == value + 3600) && again.strDate == texts.strDate && again.strTime == texts.strTime)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << value << " \"" << texts.strDate << " " << texts.strTime << "\" came back as " << back;
    };
    int later[3] = {};  // India, Eastern, Eastern around its clock changes
    for (int64_t value = 0; value <= kMax; value += 9420) {  // 2 h 37 min steps visit every hour and many minutes
        ASSERT_TRUE(roundTrips(kIndia, value, later[0]));
        ASSERT_TRUE(roundTrips(kEastern, value, later[1]));
    }
    ASSERT_TRUE(roundTrips(kEastern, kMax, later[1]));
    // Every ten minutes of 8..14 March and 1..7 November of every year.
    for (int32_t year = 1970; year <= 2037; ++year) {
        for (int32_t month : {3, 11}) {
            int64_t first = (DaysFromCivil(year, month, month == 3 ? 7 : 1) - 1) * 86400;
            for (int64_t value = first; value < first + 9 * 86400; value += 600)
                ASSERT_TRUE(roundTrips(kEastern, value, later[2])) << year;
        }
    }
    EXPECT_EQ(0, later[0]);
    EXPECT_EQ(68 * 6, later[2]);  // six ten-minute marks of each autumn's repeated hour
}

TEST(AlarmSettings, OkJudgesTheDateFirstRefusesMomentsATimeValueCannotHoldAndEachFieldHasItsComplaint)
{
    const FixedZoneRules utc(0);
    const struct { const char* date; const char* time; AlarmTextFault fault; int32_t nTime; } cases[] = {
        {"12-31", "10:30", AlarmTextFault::date, -1},
        {"12/31/26", "10:30 pm", AlarmTextFault::time, -1},
        {"1/19/38", "3:14 AM", AlarmTextFault::none, 2147483640},  // the last minute that fits
        {"1/19/2038", "3:15 AM", AlarmTextFault::date, -1},  // a bad date, not a stored -1
    };
    for (const auto& c : cases) {
        AlarmTextCheck check = CheckAlarmTexts(c.date, c.time, utc);
        EXPECT_EQ(c.fault, check.fault) << c.date << ' ' << c.time;
        EXPECT_EQ(c.nTime, check.nTime) << c.date << ' ' << c.time;
    }
    // Each field is judged by its own rule: a date text is no time.
    EXPECT_STREQ(LeavingFieldComplaint(AlarmField::date, "12-31"), "Invalid Date!             ");
    EXPECT_STREQ(LeavingFieldComplaint(AlarmField::time, "12/31/26"), "Invalid Time!             ");
    EXPECT_EQ(LeavingFieldComplaint(AlarmField::time, "10:30 PM"), nullptr);
    EXPECT_STREQ(OkComplaint(AlarmTextFault::date), "Invalid Date!");
    EXPECT_STREQ(OkComplaint(AlarmTextFault::time), "Invalid Time!");
    EXPECT_EQ(OkComplaint(AlarmTextFault::none), nullptr);
}

TEST(AlarmTimer, ArmsAndReArmsNeverEarlyAndAtMostOneStep)
{
    constexpr int32_t kAlarm = 1'000'000'000;
    constexpr int64_t kAlarmMs = int64_t(kAlarm) * 1000, kRings = -1;
    const uint32_t step = kAlarmStepMs;
    const struct { int32_t alarm; int64_t nowMs; uint32_t arm; int64_t left; } cases[] = {  // arm, then wait left
        {kAlarm - 1, kAlarmMs + 999, 1000, kRings},  // a past second waits one second, however old
        {-1, kAlarmMs, 1000, kRings},
        {kAlarm, kAlarmMs + 999, 0, kRings},  // the present second, also late in it, at once
        {-1, -500, 0, kRings},  // a clock before 1970 counts whole seconds down, too
        {kAlarm + 1, kAlarmMs + 999, 1, 1},  // a later one exactly until it begins
        {kAlarm, kAlarmMs - 15, 15, 15},  // the timer ran fast
        {kAlarm + 4'294'968, kAlarmMs, step, step},  // beyond 32 bits of milliseconds
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.arm, AlarmArmPeriod(c.alarm, c.nowMs)) << c.alarm << ' ' << c.nowMs;
        std::optional<uint32_t> left = AlarmWaitLeft(c.alarm, c.nowMs);
        EXPECT_EQ(c.left, left ? int64_t(*left) : kRings) << c.alarm << ' ' << c.nowMs;
    }
}

}  // namespace
