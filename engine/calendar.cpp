#include "engine/calendar.h"

#include <cstdint>
#include <ctime>
#include <limits>

#ifdef _WIN32
#include <sys/timeb.h>
#endif

namespace kv {
namespace {

// The runtime's wide time: a 32-bit time_t (the i686 Windows runtime) would
// end in 2038, so Windows uses the explicit 64-bit functions.
#ifdef _WIN32
using WideTime = __time64_t;
bool wideToLocal(WideTime t, std::tm& out) {
  return _localtime64_s(&out, &t) == 0;
}
WideTime localToWide(std::tm& fields) {
  return _mktime64(&fields);
}
// The clock in whole seconds and the milliseconds past them.
WideTime wideNow(int& milliseconds) {
  __timeb64 now{};
  _ftime64(&now);
  milliseconds = now.millitm;
  return now.time;
}
#else
using WideTime = std::time_t;
bool wideToLocal(WideTime t, std::tm& out) {
  return localtime_r(&t, &out) != nullptr;
}
WideTime localToWide(std::tm& fields) {
  return std::mktime(&fields);
}
WideTime wideNow(int& milliseconds) {
  std::timespec now{};
  if (std::timespec_get(&now, TIME_UTC) == 0) {
    milliseconds = 0;
    return std::time(nullptr);
  }
  milliseconds = static_cast<int>(now.tv_nsec / 1'000'000);
  return now.tv_sec;
}
#endif

constexpr WideTime kLastTime = std::numeric_limits<Time>::max();

// Negative results (including mktime's -1 for "cannot represent") and
// results past the unsigned 32-bit range have no kv::Time.
std::optional<Time> toTime(WideTime t) {
  if (t < 0 || t > kLastTime) return std::nullopt;
  return static_cast<Time>(t);
}

std::tm toTm(const LocalTime& fields, int isDst) {
  std::tm tm{};
  tm.tm_year = fields.year - 1900;
  tm.tm_mon = fields.month - 1;
  tm.tm_mday = fields.day;
  tm.tm_hour = fields.hour;
  tm.tm_min = fields.minute;
  tm.tm_sec = fields.second;
  tm.tm_isdst = isDst;
  return tm;
}

bool sameClock(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

bool isValidClock(const LocalTime& f) {
  return f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= daysInMonth(f.year, f.month) &&
         f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 && f.second >= 0 &&
         f.second <= 59;
}

enum class ClockLookup { Found, Skipped, OutOfRange };

struct ClockResult {
  ClockLookup kind;
  Time time;
};

// Asks the runtime for the fields once as standard and once as daylight
// time and keeps only answers that the local clock really shows. Both
// runtimes agree on those; they differ only in how they normalise a clock
// time that does not exist, which is therefore never taken from them.
ClockResult exactLocalClock(const LocalTime& fields) {
  ClockResult result{ClockLookup::OutOfRange, 0};
  for (int isDst : {0, 1}) {
    std::tm tm = toTm(fields, isDst);
    const std::optional<Time> t = toTime(localToWide(tm));
    if (!t) continue;
    if (!sameClock(toLocalTime(*t), fields)) {
      if (result.kind == ClockLookup::OutOfRange) result.kind = ClockLookup::Skipped;
      continue;
    }
    // A clock time shown twice (autumn) starts at the earlier instant.
    if (result.kind != ClockLookup::Found || *t < result.time) result = {ClockLookup::Found, *t};
  }
  return result;
}

LocalTime oneHourLater(const LocalTime& fields) {
  if (fields.hour < 23) {
    LocalTime later = fields;
    ++later.hour;
    return later;
  }
  LocalTime nextDay = addDays(fields, 1);
  nextDay.hour = 0;
  return nextDay;
}

// A daylight-saving gap is one hour in most zones; a zone that moved across
// the date line skipped a whole day, so allow for that much.
constexpr int kMaxSkippedHours = 48;

// Proleptic Gregorian day count (days from civil, H. Hinnant's algorithm).
int daysFromCivil(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(int days, LocalTime& fields) {
  const int z = days + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int dayOfEra = z - era * 146097;
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int mp = (5 * dayOfYear + 2) / 153;
  fields.day = dayOfYear - (153 * mp + 2) / 5 + 1;
  fields.month = mp < 10 ? mp + 3 : mp - 9;
  fields.year = yearOfEra + era * 400 + (fields.month <= 2 ? 1 : 0);
}

int weekdayOfDayNumber(int days) {
  // 1970-01-01 was a Thursday (4).
  const int w = (days + 4) % 7;
  return w < 0 ? w + 7 : w;
}

}  // namespace

LocalTime toLocalTime(Time t) {
  std::tm tm{};
  LocalTime fields;
  if (!wideToLocal(static_cast<WideTime>(t), tm)) return fields;
  fields.year = tm.tm_year + 1900;
  fields.month = tm.tm_mon + 1;
  fields.day = tm.tm_mday;
  fields.hour = tm.tm_hour;
  fields.minute = tm.tm_min;
  fields.second = tm.tm_sec;
  fields.weekday = tm.tm_wday;
  return fields;
}

std::optional<Time> fromLocalTimeNormalised(const LocalTime& fields) {
  std::tm tm = toTm(fields, -1);
  return toTime(localToWide(tm));
}

std::optional<Time> fromLocalClock(const LocalTime& fields) {
  if (!isValidClock(fields)) return std::nullopt;
  LocalTime wanted = fields;
  for (int skipped = 0; skipped <= kMaxSkippedHours; ++skipped) {
    const ClockResult r = exactLocalClock(wanted);
    if (r.kind == ClockLookup::Found) return r.time;
    if (r.kind == ClockLookup::OutOfRange) return std::nullopt;
    // Not shown by the clock (spring gap): the same clock time an hour on.
    wanted = oneHourLater(wanted);
  }
  return std::nullopt;
}

Time currentTime() {
  int milliseconds = 0;
  WideTime now = wideNow(milliseconds);
  // Whole seconds, half a second and more rounded up.
  if (milliseconds >= 500) ++now;
  if (now < 0) return 0;
  if (now > kLastTime) return std::numeric_limits<Time>::max();
  return static_cast<Time>(now);
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

int dayNumber(const LocalTime& fields) {
  return daysFromCivil(fields.year, fields.month, fields.day);
}

LocalTime addDays(const LocalTime& fields, int days) {
  LocalTime moved = fields;
  const int target = dayNumber(fields) + days;
  civilFromDays(target, moved);
  moved.weekday = weekdayOfDayNumber(target);
  return moved;
}

}  // namespace kv
