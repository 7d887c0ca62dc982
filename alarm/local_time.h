#pragma once
// Local-time rules behind the alarm texts: the zone's standard offset, when
// daylight-saving time is in force, and the present moment. Time values are
// 32-bit signed seconds since 1970-01-01 00:00:00 UTC.
#include <cstdint>

// A local calendar moment. Months run 1..12, days 1..31, hours 0..23.
struct LocalFields {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

class LocalTimeRules {
public:
    virtual ~LocalTimeRules() = default;

    // Minutes west of UTC of local standard time: UTC = standard time + bias.
    virtual int32_t StandardBias() const = 0;

    // Whether daylight-saving time is in force at a UTC moment; if so,
    // daylightBias gets the minutes added to the standard bias (-60 for a
    // clock one hour ahead).
    virtual bool IsDaylightTime(int32_t utc, int32_t& daylightBias) const = 0;

    // The present moment as a time value.
    virtual int32_t Now() const = 0;

    // Local calendar fields of a time value, daylight-saving time applied.
    LocalFields ToLocal(int32_t utc) const;
};

// a / b rounded down, for moments before 1970 too.
int64_t FloorDiv(int64_t a, int64_t b);

// Calendar arithmetic on the proleptic rule that every fourth year is a leap
// year, which is exact from 1901 to 2099 and so over every time value.
int64_t DaysFromCivil(int64_t year, int32_t month, int32_t day);
LocalFields FieldsFromSeconds(int64_t seconds);  // seconds since 1970-01-01 00:00
int32_t DaysInMonth(int64_t year, int32_t month);

// A yearly clock change as time-zone tables give it: the week-th (1..4,
// 5 = last) weekday (0 = Sunday) of a month, or, when dayOfMonth is not 0,
// that fixed day; at the given clock time.
struct ClockChange {
    int32_t month = 0;
    int32_t week = 0;
    int32_t weekday = 0;
    int32_t dayOfMonth = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// Daylight-saving time of one year: it starts at `start` read on the standard
// clock and ends at `end` read on the daylight clock. A start later in the
// year than the end is a southern-hemisphere zone, in DST across the new year.
struct DaylightRule {
    int32_t daylightBias = -60;
    ClockChange start;
    ClockChange end;
};

// Whether DST is in force at a UTC moment, judged by the rule of the given year.
bool IsDaylightTimeInYear(int64_t utc, int32_t year, int32_t standardBias, const DaylightRule& rule);

// A zone with a fixed standard offset and, optionally, the same DST rule every
// year; its present moment is set by hand. Tests use it, so that the texts do
// not depend on the machine's zone or clock.
class FixedZoneRules : public LocalTimeRules {
public:
    explicit FixedZoneRules(int32_t standardBias);
    FixedZoneRules(int32_t standardBias, const DaylightRule& rule);

    void SetNow(int32_t now) { m_nNow = now; }

    int32_t StandardBias() const override { return m_nStandardBias; }
    bool IsDaylightTime(int32_t utc, int32_t& daylightBias) const override;
    int32_t Now() const override { return m_nNow; }

private:
    int32_t m_nStandardBias;
    bool m_bDaylight;
    DaylightRule m_rule;
    int32_t m_nNow = 0;
};

// The machine's own rules and its wall clock in milliseconds since 1970
// (defined by the platform's file, local_time_win.cpp).
const LocalTimeRules& SystemLocalTimeRules();
int64_t SystemNowMs();
