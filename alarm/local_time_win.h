#pragma once
// The machine's zone structure read as the portable rules read a zone.
#include "alarm/local_time.h"

#include <windows.h>

// Whether daylight-saving time is in force at a UTC moment by the zone's
// rules for that year; if so, daylightBias gets the minutes it adds to the
// standard bias. A zone without clock changes is never in it.
bool IsZoneDaylightTime(const TIME_ZONE_INFORMATION& zone, int32_t year, int32_t utc, int32_t& daylightBias);
