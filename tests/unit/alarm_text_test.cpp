#include "alarm/alarm_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr int32_t kFailed = -1;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
const FixedZoneRules kIndia(-330);  // UTC+5:30 all year
// UTC-5, an hour ahead from the second Sunday of March to the first Sunday of November, 02:00.
const FixedZoneRules kEastern(300, DaylightRule{-60, {3, 2, 0, 0, 2}, {11, 1, 0, 0, 2}});

TEST(AlarmText, NumbersSkipBlanksTakeOneSignAndStopAtTheFirstNonDigit)
{
    struct Case { std::string text; int32_t value; };
    const Case cases[] = {
        {"x", 0}, {"\t\n\v\f\r 5", 5}, {"+5", 5}, {"-5", -5}, {"- 5", 0}, {"+-5", 0}, {"5x9", 5},
        {"4294967301", 5},  // only the low 32 bits are kept
        {"2147483648", std::numeric_limits<int32_t>::min()},
    };
    for (const Case& c : cases) {  // read as the hour, up to the ":"
        auto clock = ParseAlarmTime(c.text + ":0 AM");
        ASSERT_TRUE(clock) << c.text;
        EXPECT_EQ(c.value, clock->hour) << '"' << c.text << '"';
    }
}

TEST(AlarmText, TextsWithoutThreeNumbersOrAColonAndCapitalMarkerAreRefused)
{
    for (const char* text : {"", "1/2", "12/31", "12-31", "/12/31", "-12-31", "//", "1231"})
        EXPECT_FALSE(CheckAlarmDate(text)) << text;
    for (const char* text : {"", "10:30", "10 AM", "10:30 am", "10:30 pm", "10:30 Am", "10:30 P M", "1030 PM"})
        EXPECT_FALSE(CheckAlarmTime(text)) << text;
}

TEST(AlarmText, TextsConvertToLocalMoments)
{
    // Zone 'I'ndia or 'E'astern; the comment gives the local moment.
    struct Case { char zone; const char* date; const char* time; int32_t expected; };
    const Case cases[] = {
        {'I', "a/b/c", "12:00 PM", 943943400},      // 1999-11-30 12:00
        {'I', "1-2-3", "12:00 AM", 1041445800},     // 2003-01-02
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
        {'I', "1/1/01", "24:00 AM", 978373800},     // 2001-01-02 00:00
        {'I', "12/31/1999", "12:00 AM", 946578600},  // four digits taken as written
        {'I', "1/1/100", "12:00 PM", kFailed},
        {'I', "-11/18/39", "12:00 AM", 2147365800},  // 2038-01-18: 2039 less 11 months
        {'I', "1/19/38", "8:44 AM", 2147483640},     // 03:14 UTC, the last whole minute
        {'I', "1/19/38", "8:45 AM", kFailed},
        {'I', "1/1/70", "12:2147483647 AM", kFailed},
        {'I', "13/1/39", "12:00 AM", kFailed},       // carried into 2040
        {'I', "853/2/4294967295", "12:00 AM", kFailed},  // year -1 is 1899, refused before months carry
        {'E', "7/4/26", "12:00 PM", 1783180800},    // EDT
        {'E', "3/8/26", "1:30 AM", 1772951400},     // last standard half hour
        {'E', "3/8/26", "3:00 AM", 1772953200},     // first daylight moment
        {'E', "3/8/26", "2:30 AM", 1772951400},     // missing hour: read as standard, i.e. 01:30 EST
        {'E', "11/1/26", "1:30 AM", 1793514600},    // repeated hour: standard time, the second
        {'E', "12/31/1969", "7:00 PM", 0},
        {'E', "12/31/69", "6:59 PM", kFailed},
        {'E', "0/31/70", "7:00 PM", 0},             // month 0 carried into 1969
    };
    for (const Case& c : cases) {
        const LocalTimeRules& rules = c.zone == 'I' ? kIndia : kEastern;
        EXPECT_EQ(c.expected, TryMakeAlarmTime(c.date, c.time, rules).value_or(-1)) << c.zone << ' ' << c.date << ' ' << c.time;
    }
}

TEST(AlarmText, DisplayTextsPadWithSpaces)
{
    struct Case { char zone; int32_t value; const char* date; const char* time; };
    const Case cases[] = {
        {'I', 920777700, " 3/ 7/99", " 9:05 AM"},
        {'I', 977682600, "12/25/ 0", "12:00 AM"},
        {'I', 0, " 1/ 1/70", " 5:30 AM"},
        {'E', 1130817540, "10/31/ 5", "11:59 PM"},  // daylight time
        {'E', 0, "12/31/69", " 7:00 PM"},
    };
    for (const Case& c : cases) {
        AlarmTexts texts = FormatAlarmText(c.value, c.zone == 'I' ? kIndia : kEastern);
        EXPECT_EQ(c.date, texts.strDate) << c.value;
        EXPECT_EQ(c.time, texts.strTime) << c.value;
    }
}

TEST(AlarmText, ValueWithoutCalendarFormShowsThePresent)
{
    FixedZoneRules india = kIndia;
    india.SetNow(920777700);  // 1999-03-07 09:05 at UTC+5:30
    for (int32_t value : {kFailed, -3600, std::numeric_limits<int32_t>::min()}) {
        AlarmTexts texts = FormatAlarmText(value, india);
        EXPECT_EQ(" 3/ 7/99", texts.strDate) << value;
        EXPECT_EQ(" 9:05 AM", texts.strTime) << value;
    }
}

// Format, convert back, format again: nothing may change, but the first of an autumn
// night's two 01:xx hours comes back as the second (counted in laterHour).
::testing::AssertionResult RoundTrips(const LocalTimeRules& rules, int32_t value, int& laterHour)
{
    value -= value % 60;
    AlarmTexts texts = FormatAlarmText(value, rules);
    std::optional<int32_t> back = TryMakeAlarmTime(texts.strDate, texts.strTime, rules);
    AlarmTexts again = FormatAlarmText(back.value_or(kFailed), rules);
    if (!back || again.strDate != texts.strDate || again.strTime != texts.strTime ||
        (*back != value && *back != value + 3600))
        return ::testing::AssertionFailure() << value << " \"" << texts.strDate << "\" \"" << texts.strTime
                                             << "\" came back as " << back.value_or(kFailed);
    laterHour += *back != value;
    return ::testing::AssertionSuccess();
}

TEST(AlarmText, FormattedTextsConvertBackFrom1970To2038)
{
    int later[3] = {};  // India, Eastern, Eastern around its clock changes
    // 2 h 37 min steps visit every hour and many minutes.
    for (int64_t value = 0; value <= kMax; value += 9420) {
        ASSERT_TRUE(RoundTrips(kIndia, int32_t(value), later[0]));
        ASSERT_TRUE(RoundTrips(kEastern, int32_t(value), later[1]));
    }
    ASSERT_TRUE(RoundTrips(kIndia, kMax, later[0]));
    ASSERT_TRUE(RoundTrips(kEastern, kMax, later[1]));
    // Every ten minutes of 8..14 March and 1..7 November of every year.
    for (int32_t year = 1970; year <= 2037; ++year) {
        for (int32_t month : {3, 11}) {
            int64_t first = (DaysFromCivil(year, month, month == 3 ? 7 : 1) - 1) * 86400;
            for (int64_t value = first; value < first + 9 * 86400; value += 600)
                ASSERT_TRUE(RoundTrips(kEastern, int32_t(value), later[2])) << year;
        }
    }
    EXPECT_EQ(0, later[0]);
    EXPECT_EQ(68 * 6, later[2]);  // six ten-minute marks of each autumn's repeated hour
}

}  // namespace
