#include "alarm/alarm_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

// UTC+5:30 all year.
FixedZoneRules India() { return FixedZoneRules(-330); }

// UTC-5, one hour ahead from the second Sunday of March 02:00 to the first
// Sunday of November 02:00, local time, in every year.
FixedZoneRules Eastern()
{
    DaylightRule rule;
    rule.start.month = 3;
    rule.start.week = 2;
    rule.start.hour = 2;
    rule.end.month = 11;
    rule.end.week = 1;
    rule.end.hour = 2;
    return FixedZoneRules(300, rule);
}

constexpr int32_t kFailed = -1;

TEST(AlarmText, NumbersSkipBlanksTakeOneSignAndStopAtTheFirstNonDigit)
{
    struct Case {
        std::string text;
        int32_t value;
    };
    const Case cases[] = {
        {"x", 0},
        {"", 0},
        {"07", 7},
        {" 5 ", 5},
        {"\t\n\v\f\r5", 5},
        {"+5", 5},
        {"-5", -5},
        {"- 5", 0},
        {"+-5", 0},
        {"5x9", 5},
        {"4294967301", 5},         // only the low 32 bits are kept
        {"4294967295", -1},
        {"2147483648", std::numeric_limits<int32_t>::min()},
        {"-4294967297", -1},
    };
    // The hour, read from the start of the time text up to the ":".
    for (const Case& c : cases) {
        auto clock = ParseAlarmTime(c.text + ":0 AM");
        ASSERT_TRUE(clock) << c.text;
        EXPECT_EQ(c.value, clock->hour) << '"' << c.text << '"';
    }
}

TEST(AlarmText, DateTextsAreCutAtTheFirstAndLastSeparators)
{
    struct Case {
        const char* text;
        int32_t month, day, year;
    };
    const Case accepted[] = {
        {"a/b/c", 0, 0, 0},
        {"1-2-3", 1, 2, 3},
        {"1/2-3", 1, 2, 3},
        {"/1/2/99", 0, 2, 99},       // a leading "/" is no cut: month text "/1"
        {"-1-2-99", -1, 2, 99},      // a leading "-" is the month's sign
        {"12/31/", 12, 31, 0},
        {"1/2/3/4", 1, 2, 4},        // "2/3" reads as 2
        {"///", 0, 0, 0},
        {" 3/ 7/99", 3, 7, 99},
        {"12/31/1999", 12, 31, 1999},
    };
    for (const Case& c : accepted) {
        auto date = ParseAlarmDate(c.text);
        ASSERT_TRUE(date) << c.text;
        EXPECT_EQ(c.month, date->month) << c.text;
        EXPECT_EQ(c.day, date->day) << c.text;
        EXPECT_EQ(c.year, date->year) << c.text;
        EXPECT_TRUE(CheckAlarmDate(c.text)) << c.text;
    }
    for (const char* text : {"", "1/2", "12/31", "12-31", "/12/31", "-12-31", "//", "/", "1231"}) {
        EXPECT_FALSE(ParseAlarmDate(text)) << text;
        EXPECT_FALSE(CheckAlarmDate(text)) << text;
    }
}

TEST(AlarmText, TimeTextsNeedAColonAndACapitalMarker)
{
    struct Case {
        const char* text;
        int32_t hour, minute;
        bool bMorning;
    };
    const Case accepted[] = {
        {"12:00 AM", 12, 0, true},
        {"12:00 PM", 12, 0, false},
        {"0:30 AM", 0, 30, true},
        {"7:5 PM", 7, 5, false},
        {"7:75 PM", 7, 75, false},
        {"19:00 PM", 19, 0, false},
        {"13:00 AM", 13, 0, true},
        {"10:30 PM AM", 10, 30, true},  // "AM" anywhere wins
        {"10:30PM", 10, 30, false},
        {" 9:05 AM", 9, 5, true},
        {"1:2:3 PM", 1, 2, false},      // the first ":" is the cut
        {"x:y AM", 0, 0, true},
        {"AM 10:30", 0, 30, true},
    };
    for (const Case& c : accepted) {
        auto clock = ParseAlarmTime(c.text);
        ASSERT_TRUE(clock) << c.text;
        EXPECT_EQ(c.hour, clock->hour) << c.text;
        EXPECT_EQ(c.minute, clock->minute) << c.text;
        EXPECT_EQ(c.bMorning, clock->bMorning) << c.text;
        EXPECT_TRUE(CheckAlarmTime(c.text)) << c.text;
    }
    for (const char* text : {"", "10:30", "10 AM", "10:30 am", "10:30 pm", "10:30 Am", "10:30 P M", "1030 PM"}) {
        EXPECT_FALSE(ParseAlarmTime(text)) << text;
        EXPECT_FALSE(CheckAlarmTime(text)) << text;
    }
}

TEST(AlarmText, TextsConvertToLocalMoments)
{
    struct Case {
        const char* date;
        const char* time;
        int32_t expected;  // seconds since 1970 UTC; comment: local time at UTC+5:30
    };
    const Case cases[] = {
        {"a/b/c", "12:00 PM", 943943400},     // 1999-11-30 12:00
        {"1-2-3", "12:00 AM", 1041445800},    // 2003-01-02 00:00
        {"1/2-3", "12:00 AM", 1041445800},
        {"/1/2/99", "12:00 AM", 912537000},   // 1998-12-02
        {"-1-2-99", "12:00 AM", 909945000},   // 1998-11-02
        {"12/31/", "12:00 AM", 978201000},    // 2000-12-31
        {"2/30/99", "12:00 AM", 920313000},   // 1999-03-02
        {"13/1/99", "12:00 AM", 946665000},   // 2000-01-01
        {"1/2/3/4", "12:00 AM", 1072981800},  // 2004-01-02
        {"1/32/01", "12:00 AM", 980965800},   // 2001-02-01
        {"1/0/01", "12:00 AM", 978201000},    // 2000-12-31
        {"3/0/00", "12:00 AM", 951762600},    // 2000-02-29
        {"3/0/01", "12:00 AM", 983298600},    // 2001-02-28
        {"2/29/01", "12:00 AM", 983385000},   // 2001-03-01
        {"-11/18/39", "12:00 AM", 2147365800},  // 2038-01-18: 2039 less 11 months
        {"1/24856/70", "12:00 AM", 2147452200}, // 2038-01-19
        {"1/1/01", "12:00 AM", 978287400},    // 00:00
        {"1/1/01", "12:00 PM", 978330600},    // 12:00
        {"1/1/01", "0:30 AM", 978289200},     // 00:30
        {"1/1/01", "7:5 PM", 978356100},      // 19:05
        {"1/1/01", "7:75 PM", 978360300},     // 20:15
        {"1/1/01", "19:00 PM", 978355800},    // 19:00
        {"1/1/01", "13:00 AM", 978334200},    // 13:00
        {"1/1/01", "13:00 PM", 978334200},    // 13:00
        {"1/1/01", "0:0 PM", 978330600},      // 12:00
        {"1/1/01", "10:30 PM AM", 978325200}, // 10:30
        {"1/1/01", "11:59 PM", 978373740},    // 23:59
        {"1/1/01", "12:75 AM", 978291900},    // 01:15
        {"1/1/01", "24:00 AM", 978373800},    // 2001-01-02 00:00
        {"1/1/01", "1:4294967295 AM", 978290940},  // minute -1: 00:59
    };
    const FixedZoneRules india = India();
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, MakeAlarmTime(c.date, c.time, india)) << c.date << ' ' << c.time;
        EXPECT_EQ(c.expected, TryMakeAlarmTime(c.date, c.time, india)) << c.date << ' ' << c.time;
    }
}

TEST(AlarmText, DaylightTimeIsLeftToTheZone)
{
    struct Case {
        const char* date;
        const char* time;
        int32_t expected;
    };
    const Case cases[] = {
        {"a/b/c", "12:00 PM", 943981200},     // 1999-11-30 12:00 EST
        {"7/4/26", "12:00 PM", 1783180800},   // 2026-07-04 12:00 EDT
        {"3/8/26", "1:30 AM", 1772951400},    // last standard half hour
        {"3/8/26", "3:00 AM", 1772953200},    // first daylight moment
        // 02:30 does not exist: read as standard time it is already in
        // daylight time, so it moves back an hour, to 01:30 EST.
        {"3/8/26", "2:30 AM", 1772951400},
        {"11/1/26", "12:59 AM", 1793509140},  // 00:59 EDT
        // 01:30 happens twice; standard time is read first, so the second.
        {"11/1/26", "1:30 AM", 1793514600},
    };
    const FixedZoneRules eastern = Eastern();
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MakeAlarmTime(c.date, c.time, eastern)) << c.date << ' ' << c.time;
}

TEST(AlarmText, FourDigitYearsAreTakenAsWritten)
{
    const FixedZoneRules india = India();
    EXPECT_EQ(1798655400, MakeAlarmTime("12/31/2026", "12:00 AM", india));
    EXPECT_EQ(946578600, MakeAlarmTime("12/31/1999", "12:00 AM", india));
    EXPECT_EQ(MakeAlarmTime("12/31/99", "12:00 AM", india), MakeAlarmTime("12/31/1999", "12:00 AM", india));
    EXPECT_EQ(0, MakeAlarmTime("12/31/1969", "7:00 PM", Eastern()));
    // Years the time value cannot hold still fail, whatever their width.
    for (const char* date : {"12/31/3899", "1/1/100", "1/1/1968", "1/1/2039", "1/1/99999"})
        EXPECT_EQ(kFailed, MakeAlarmTime(date, "12:00 PM", india)) << date;
}

TEST(AlarmText, TwoDigitYearsAtTheEdgesOfTheTimeValue)
{
    struct Case {
        const char* zone;
        const char* date;
        const char* time;
        int32_t expected;
    };
    const Case cases[] = {
        {"india", "12/31/37", "11:59 PM", 2145896940},
        {"india", "1/18/38", "11:59 PM", 2147452140},
        {"india", "1/19/38", "8:44 AM", 2147483640},   // 03:14 UTC, the last whole minute
        {"india", "1/19/38", "8:45 AM", kFailed},
        {"india", "1/20/38", "12:00 AM", kFailed},
        {"india", "1/24857/70", "12:00 AM", kFailed},
        {"india", "1/1/70", "12:2147483647 AM", kFailed},
        {"india", "6/1/39", "12:00 PM", kFailed},
        {"india", "1/1/50", "12:00 PM", kFailed},
        {"india", "1/1/51", "12:00 PM", kFailed},
        {"india", "12/31/68", "11:59 PM", kFailed},
        {"india", "12/31/69", "11:59 PM", kFailed},     // still 1969 in UTC
        {"india", "1/1/70", "5:29 AM", kFailed},
        {"india", "1/1/70", "5:30 AM", 0},
        {"india", "0/1/70", "12:00 AM", kFailed},
        {"india", "1/-5/70", "12:00 AM", kFailed},
        {"india", "13/1/39", "12:00 AM", kFailed},      // carried into 2040
        // A "-" is a separator, so only a wrapped number gives a negative
        // year: -1 is 1899, refused before its months could carry it to 1970.
        {"india", "853/2/4294967295", "12:00 AM", kFailed},
        {"india", "12/31/4294967295", "12:00 AM", kFailed},
        {"eastern", "12/31/69", "7:00 PM", 0},          // 1970-01-01 00:00 UTC
        {"eastern", "12/31/69", "6:59 PM", kFailed},
        {"eastern", "0/31/70", "7:00 PM", 0},           // month 0 carried into 1969
        {"eastern", "12/30/69", "11:00 PM", kFailed},
        {"eastern", "1/18/38", "10:14 PM", 2147483640},
        {"eastern", "1/18/38", "10:15 PM", kFailed},
        {"eastern", "1/18/38", "11:59 PM", kFailed},
    };
    const FixedZoneRules india = India();
    const FixedZoneRules eastern = Eastern();
    for (const Case& c : cases) {
        const LocalTimeRules& rules = std::string(c.zone) == "india" ? static_cast<const LocalTimeRules&>(india) : eastern;
        EXPECT_EQ(c.expected, MakeAlarmTime(c.date, c.time, rules)) << c.zone << ' ' << c.date << ' ' << c.time;
        EXPECT_EQ(c.expected != kFailed, TryMakeAlarmTime(c.date, c.time, rules).has_value())
            << c.zone << ' ' << c.date << ' ' << c.time;
    }
}

TEST(AlarmText, RefusedTextsGiveTheFailureValue)
{
    const FixedZoneRules india = India();
    EXPECT_EQ(kFailed, MakeAlarmTime("12-31", "10:30 PM", india));
    EXPECT_EQ(kFailed, MakeAlarmTime("1/1/01", "10:30 pm", india));
    EXPECT_FALSE(TryMakeAlarmTime("", "", india));
}

TEST(AlarmText, DisplayTextsPadWithSpaces)
{
    struct Case {
        int32_t india;    // the moment at UTC+5:30
        int32_t eastern;  // the same local time in the Eastern zone
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {920777700, 920815500, " 3/ 7/99", " 9:05 AM"},
        {977682600, 977720400, "12/25/ 0", "12:00 AM"},
        {978332400, 978370200, " 1/ 1/ 1", "12:30 PM"},
        {1130783340, 1130817540, "10/31/ 5", "11:59 PM"},  // daylight time in the east
        {978330600, 978368400, " 1/ 1/ 1", "12:00 PM"},
        {0, 0, " 1/ 1/70", " 5:30 AM"},
    };
    const FixedZoneRules india = India();
    const FixedZoneRules eastern = Eastern();
    for (const Case& c : cases) {
        AlarmTexts texts = FormatAlarmText(c.india, india);
        EXPECT_EQ(c.date, texts.strDate) << c.india;
        EXPECT_EQ(c.time, texts.strTime) << c.india;
        if (c.eastern == 0)
            continue;
        texts = FormatAlarmText(c.eastern, eastern);
        EXPECT_EQ(c.date, texts.strDate) << c.eastern;
        EXPECT_EQ(c.time, texts.strTime) << c.eastern;
    }
    AlarmTexts epoch = FormatAlarmText(0, eastern);
    EXPECT_EQ("12/31/69", epoch.strDate);
    EXPECT_EQ(" 7:00 PM", epoch.strTime);
}

TEST(AlarmText, ValueWithoutCalendarFormShowsThePresent)
{
    FixedZoneRules india = India();
    india.SetNow(920777700);  // 1999-03-07 09:05 at UTC+5:30
    for (int32_t value : {kFailed, -3600, std::numeric_limits<int32_t>::min()}) {
        AlarmTexts texts = FormatAlarmText(value, india);
        EXPECT_EQ(" 3/ 7/99", texts.strDate) << value;
        EXPECT_EQ(" 9:05 AM", texts.strTime) << value;
    }
}

// Format a moment, convert the texts back and format again: the texts must
// not change. Only the first of the two 01:xx hours of an autumn night may
// come back as the second one, an hour later, since the conversion reads the
// local clock as standard time first.
::testing::AssertionResult RoundTrips(const LocalTimeRules& rules, int32_t value, int& laterHour)
{
    value -= value % 60;
    AlarmTexts texts = FormatAlarmText(value, rules);
    std::optional<int32_t> back = TryMakeAlarmTime(texts.strDate, texts.strTime, rules);
    if (!back)
        return ::testing::AssertionFailure() << value << " \"" << texts.strDate << "\" \"" << texts.strTime
                                             << "\" did not convert";
    AlarmTexts again = FormatAlarmText(*back, rules);
    if (again.strDate != texts.strDate || again.strTime != texts.strTime)
        return ::testing::AssertionFailure() << value << " \"" << texts.strDate << "\" \"" << texts.strTime
                                             << "\" came back as \"" << again.strDate << "\" \""
                                             << again.strTime << '"';
    if (*back == value + 3600)
        ++laterHour;
    else if (*back != value)
        return ::testing::AssertionFailure() << value << " came back as " << *back;
    return ::testing::AssertionSuccess();
}

TEST(AlarmText, FormattedTextsConvertBackOverTheWholeRange)
{
    const FixedZoneRules india = India();
    const FixedZoneRules eastern = Eastern();
    int indiaLater = 0;
    int easternLater = 0;
    // 2 h 37 min steps visit every hour and many minutes.
    const int32_t step = 9420;
    for (int64_t value = 0; value <= std::numeric_limits<int32_t>::max(); value += step) {
        ASSERT_TRUE(RoundTrips(india, int32_t(value), indiaLater));
        ASSERT_TRUE(RoundTrips(eastern, int32_t(value), easternLater));
    }
    ASSERT_TRUE(RoundTrips(india, std::numeric_limits<int32_t>::max(), indiaLater));
    ASSERT_TRUE(RoundTrips(eastern, std::numeric_limits<int32_t>::max(), easternLater));
    EXPECT_EQ(0, indiaLater);
}

TEST(AlarmText, FormattedTextsConvertBackAroundEveryClockChange)
{
    const FixedZoneRules eastern = Eastern();
    int laterHour = 0;
    for (int32_t year = 1970; year <= 2037; ++year) {
        // The changes fall on 8..14 March and 1..7 November; every ten minutes
        // of those weeks.
        for (int32_t month : {3, 11}) {
            int64_t first = (DaysFromCivil(year, month, month == 3 ? 7 : 1) - 1) * 86400;
            for (int64_t value = first; value < first + 9 * 86400; value += 600)
                ASSERT_TRUE(RoundTrips(eastern, int32_t(value), laterHour)) << year;
        }
    }
    // Six ten-minute marks of the repeated hour in each of the 68 autumns.
    EXPECT_EQ(68 * 6, laterHour);
}

}  // namespace
