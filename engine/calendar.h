// Local calendar fields <-> seconds since 1970, through the C runtime.
//
// The one place that converts between the two; everything else works in
// kv::Time. On Windows the 64-bit runtime functions are used, because a
// 32-bit time_t ends in 2038.
#pragma once

#include <optional>

#include "schedule/schedule_time.h"

namespace kv {

struct LocalTime {
  int year = 1970;  // full year
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
  int weekday = 4;  // 0 Sunday .. 6 Saturday (set by toLocalTime)
};

// The local calendar fields of a time.
LocalTime toLocalTime(Time t);

// The time of local calendar fields, normalising out-of-range fields as
// mktime does (31 April is 1 May), with daylight saving left to the runtime.
// Empty when the result lies outside the 32-bit time range.
std::optional<Time> fromLocalTimeNormalised(const LocalTime& fields);

// The time at which the local clock shows exactly these fields. A clock time
// shown twice (autumn) gives the earlier instant; one never shown (inside the
// hour skipped in spring) moves one hour later. Both runtimes give the same
// answer. Empty outside the 32-bit range and for fields out of range (such
// as 30 February).
std::optional<Time> fromLocalClock(const LocalTime& fields);

// The current time in the same base, in whole seconds: a fraction of half a
// second or more counts as the next second.
Time currentTime();

int daysInMonth(int year, int month);

// Calendar arithmetic on the date alone (proleptic Gregorian, no time zone).
// The number of days from 1970-01-01 to the date of the fields.
int dayNumber(const LocalTime& fields);
// The same clock time on the date `days` calendar days away (earlier when
// negative), with the weekday set to match.
LocalTime addDays(const LocalTime& fields, int days);

}  // namespace kv
