#include "engine/recurrence.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/calendar.h"
#include "schedule/entry_codes.h"
#include "schedule/schedule_file.h"

namespace kv {
namespace {

constexpr std::uint64_t kLastTime = std::numeric_limits<Time>::max();

// Every Minute, Every 15 Minutes and Hourly run on elapsed time; their step
// in seconds. Zero for every other frequency.
Time elapsedStep(Frequency frequency) {
  switch (frequency) {
    case Frequency::EveryMinute:
      return 60;
    case Frequency::EveryFifteenMinutes:
      return 900;
    case Frequency::Hourly:
      return 3600;
    default:
      return 0;
  }
}

// The frequencies that keep the entry's local clock time from one start to
// the next.
bool isDayBased(Frequency frequency) {
  switch (frequency) {
    case Frequency::Daily:
    case Frequency::Weekdays:
    case Frequency::Weekly:
    case Frequency::Monthly:
    case Frequency::MonthEnd:
      return true;
    default:
      return false;
  }
}

// A stored code as the recurrence treats it: one no table knows starts once.
Frequency recurrenceOf(char code) {
  return frequencyOfCode(code).value_or(Frequency::Once);
}

bool isWeekend(const LocalTime& fields) {
  return fields.weekday == 0 || fields.weekday == 6;
}

// Months counted from year 0, so that month arithmetic is plain addition.
int monthIndex(const LocalTime& fields) {
  return fields.year * 12 + fields.month - 1;
}

LocalTime onMonth(const LocalTime& clock, int index, int day) {
  LocalTime fields = clock;
  fields.year = index / 12;
  fields.month = index % 12 + 1;
  fields.day = day;
  return fields;
}

int daysInMonthAt(int index) {
  return daysInMonth(index / 12, index % 12 + 1);
}

LocalTime monthEnd(const LocalTime& clock, int index) {
  return onMonth(clock, index, daysInMonthAt(index));
}

// The first month from `index` on that has day `day`, at the clock time.
// Every day up to 31 comes round within three months.
LocalTime firstMonthWithDay(const LocalTime& clock, int index, int day) {
  while (daysInMonthAt(index) < day) ++index;
  return onMonth(clock, index, day);
}

// The local date and clock time of the occurrence that follows `current`.
LocalTime followingOccurrence(Frequency frequency, const LocalTime& current) {
  switch (frequency) {
    case Frequency::Weekdays: {
      LocalTime next = addDays(current, 1);
      while (isWeekend(next)) next = addDays(next, 1);
      return next;
    }
    case Frequency::Weekly:
      return addDays(current, 7);
    case Frequency::Monthly:
      return firstMonthWithDay(current, monthIndex(current) + 1, current.day);
    case Frequency::MonthEnd:
      return monthEnd(current, monthIndex(current) + 1);
    default:  // Daily
      return addDays(current, 1);
  }
}

std::optional<Time> nextDayBasedStart(Frequency frequency, Time start) {
  const std::optional<Time> next =
      fromLocalClock(followingOccurrence(frequency, toLocalTime(start)));
  if (!next || *next <= start) return std::nullopt;
  return next;
}

std::optional<Time> firstElapsedStepAfter(Time step, Time start, Time after) {
  const std::uint64_t steps = (after - start) / step + 1;
  const std::uint64_t next = start + steps * step;
  if (next > kLastTime) return std::nullopt;
  return static_cast<Time>(next);
}

// A point not after `after` from which stepping the recurrence reaches its
// first occurrence after `after` in a few steps: a long-missed entry is not
// walked through every missed day. The point keeps the start's clock time.
LocalTime catchUpBase(Frequency frequency, const LocalTime& start, const LocalTime& after) {
  const int startDay = dayNumber(start);
  const int dayBeforeAfter = dayNumber(after) - 1;
  switch (frequency) {
    case Frequency::Weekly: {
      const int weeks = (dayBeforeAfter - startDay) / 7;
      return weeks > 0 ? addDays(start, weeks * 7) : start;
    }
    case Frequency::Monthly: {
      // The latest month before the month of `after` that has the start's day.
      int index = monthIndex(after) - 1;
      while (index > monthIndex(start) && daysInMonthAt(index) < start.day) --index;
      return index > monthIndex(start) ? onMonth(start, index, start.day) : start;
    }
    case Frequency::MonthEnd:
      // Month End moves to the first month end after `after`, wherever in
      // its month a hand-edited start lies.
      return monthEnd(start, monthIndex(after) - 1);
    default:  // Daily, Weekdays: a day before `after`; Weekdays skips the weekend on stepping.
      return dayBeforeAfter > startDay ? addDays(start, dayBeforeAfter - startDay) : start;
  }
}

std::optional<Time> firstDayBasedOccurrenceAfter(Frequency frequency, Time start, Time after) {
  const LocalTime startFields = toLocalTime(start);
  const LocalTime base = catchUpBase(frequency, startFields, toLocalTime(after));
  std::optional<Time> t = start;
  if (dayNumber(base) != dayNumber(startFields)) t = fromLocalClock(base);
  while (t && *t <= after) t = nextDayBasedStart(frequency, *t);
  return t;
}

// The entry again under `start`, when it may still run there: the code
// recurs, the start moved on (it stays put when the next one would lie past
// the 32-bit range) and is not after the entry's end.
std::optional<ScheduleEntry> restartedAt(const ScheduleEntry& entry, Time start) {
  if (!isRecurring(entry.frequency) || start <= entry.start || start > entry.end) {
    return std::nullopt;
  }
  ScheduleEntry moved = entry;
  moved.start = start;
  return moved;
}

}  // namespace

bool isRecurring(char code) {
  const Frequency frequency = recurrenceOf(code);
  return elapsedStep(frequency) != 0 || isDayBased(frequency);
}

Time nextStart(char code, Time start) {
  const Frequency frequency = recurrenceOf(code);
  std::optional<Time> next;
  if (const Time step = elapsedStep(frequency)) {
    if (start <= kLastTime - step) next = start + step;
  } else if (isDayBased(frequency)) {
    next = nextDayBasedStart(frequency, start);
  }
  return next.value_or(start);
}

Time firstOccurrenceAfter(char code, Time start, Time after) {
  if (start > after || !isRecurring(code)) return start;
  const Frequency frequency = recurrenceOf(code);
  std::optional<Time> first;
  if (const Time step = elapsedStep(frequency)) {
    first = firstElapsedStepAfter(step, start, after);
  } else {
    first = firstDayBasedOccurrenceAfter(frequency, start, after);
  }
  return first.value_or(start);
}

std::optional<ScheduleEntry> refileAfterLaunch(const ScheduleEntry& launched) {
  return restartedAt(launched, nextStart(launched.frequency, launched.start));
}

std::optional<ScheduleEntry> refileAfter(const ScheduleEntry& launched, Time after) {
  return restartedAt(launched, firstOccurrenceAfter(launched.frequency, launched.start, after));
}

std::optional<ScheduleEntry> catchUpOnLoad(const ScheduleEntry& entry, Time loadTime, Time now,
                                           MissedStarts missed, const HandledThrough& handled) {
  // A start at the load itself may have run in that very second, before
  // another copy of Kivro ended.
  if (handled && entry.start <= loadTime) {
    if (const std::optional<Time> through = handled(entry); through && entry.start <= *through) {
      const std::optional<ScheduleEntry> moved = refileAfter(entry, *through);
      return moved ? catchUpOnLoad(*moved, loadTime, now, missed) : std::nullopt;
    }
  }
  if (loadTime > entry.end) return std::nullopt;
  if (missed == MissedStarts::RunOnce && entry.start < loadTime) return entry;
  if (frequencyOfCode(entry.frequency) == Frequency::Once && now > entry.start) return std::nullopt;
  if (!isRecurring(entry.frequency)) return entry;
  ScheduleEntry caughtUp = entry;
  if (entry.start < loadTime) {
    caughtUp.start = firstOccurrenceAfter(entry.frequency, entry.start, loadTime);
    if (caughtUp.start <= loadTime) return std::nullopt;  // no occurrence left in the 32-bit range
  }
  // The end is the last moment a repeating entry may start.
  if (caughtUp.start > entry.end) return std::nullopt;
  return caughtUp;
}

std::vector<EntryLine> catchUpLoadedEntries(const std::vector<ScheduleEntry>& entries,
                                            Time loadTime, Time now, MissedStarts missed,
                                            const HandledThrough& handled) {
  std::vector<EntryLine> lines;
  lines.reserve(entries.size());
  for (const ScheduleEntry& entry : entries) {
    if (const std::optional<ScheduleEntry> caughtUp =
            catchUpOnLoad(entry, loadTime, now, missed, handled)) {
      lines.push_back(composeEntryLine(*caughtUp));
    }
  }
  return lines;
}

PackedLines catchUpScheduleFile(std::string_view bytes, std::string_view versionText, Time loadTime,
                                Time now, MissedStarts missed, const HandledThrough& handled) {
  PackedLines lines;
  lines.rows.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  forEachScheduleEntry(bytes, versionText, [&](ScheduleEntry&& entry) {
    if (std::optional<ScheduleEntry> caughtUp =
            catchUpOnLoad(entry, loadTime, now, missed, handled)) {
      lines.append(composeEntryLine(*caughtUp));
    }
  });
  return lines;
}

}  // namespace kv
