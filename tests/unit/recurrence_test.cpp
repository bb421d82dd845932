#include "engine/recurrence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

#include "engine/calendar.h"
#include "clock_text.h"
#include "time_zone.h"

namespace {

using kv::LocalTime;
using kv::ScheduleEntry;
using kv::Time;

constexpr Time kLastTime = 4294967295u;

using kvtest::at;
using kvtest::fieldsOf;
using kvtest::shown;

ScheduleEntry entry(char frequency, Time start, Time end) {
  ScheduleEntry e;
  e.frequency = frequency;
  e.start = start;
  e.end = end;
  e.commandLine = "C:\\WINDOWS\\NOTEPAD.EXE";
  e.workingDirectory = "C:\\WINDOWS";
  e.description = "Notes";
  return e;
}

std::optional<Time> startOf(const std::optional<ScheduleEntry>& e) {
  return e ? std::optional<Time>(e->start) : std::nullopt;
}

struct StepCase {
  char code;
  const char* from;
  const char* to;
};

TEST(RecurrenceTest, NextStartFollowsTheCalendar) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const StepCase cases[] = {
      {'M', "2024-01-15 23:59:30", "2024-01-16 00:00:30"},
      {'F', "2024-01-15 10:00:01", "2024-01-15 10:15:01"},
      {'H', "2024-12-31 23:10:00", "2025-01-01 00:10:00"},
      {'D', "2023-01-31 09:00:00", "2023-02-01 09:00:00"},
      {'D', "2024-02-28 23:59:59", "2024-02-29 23:59:59"},
      {'D', "2023-02-28 06:00:00", "2023-03-01 06:00:00"},
      {'D', "2023-12-31 18:00:00", "2024-01-01 18:00:00"},
      // Weekdays: 5 January 2024 is a Friday.
      {'K', "2024-01-04 09:00:00", "2024-01-05 09:00:00"},
      {'K', "2024-01-05 09:00:00", "2024-01-08 09:00:00"},
      {'K', "2024-01-06 09:00:00", "2024-01-08 09:00:00"},
      {'K', "2024-01-07 09:00:00", "2024-01-08 09:00:00"},
      {'K', "2024-01-08 09:00:00", "2024-01-09 09:00:00"},
      {'W', "2024-02-26 07:45:00", "2024-03-04 07:45:00"},
      {'W', "2023-12-28 07:45:00", "2024-01-04 07:45:00"},
      // Monthly keeps the day of the month and passes over months without it.
      {'T', "2023-01-31 09:00:00", "2023-03-31 09:00:00"},
      {'T', "2023-03-31 09:00:00", "2023-05-31 09:00:00"},
      {'T', "2023-05-31 09:00:00", "2023-07-31 09:00:00"},
      {'T', "2023-07-31 09:00:00", "2023-08-31 09:00:00"},
      {'T', "2023-08-31 09:00:00", "2023-10-31 09:00:00"},
      {'T', "2023-12-31 09:00:00", "2024-01-31 09:00:00"},
      {'T', "2023-01-30 09:00:00", "2023-03-30 09:00:00"},
      {'T', "2023-01-29 09:00:00", "2023-03-29 09:00:00"},
      {'T', "2024-01-29 09:00:00", "2024-02-29 09:00:00"},
      {'T', "2024-01-15 09:00:00", "2024-02-15 09:00:00"},
      // Month End: the last day of the following month.
      {'E', "2023-01-31 17:00:00", "2023-02-28 17:00:00"},
      {'E', "2024-01-31 17:00:00", "2024-02-29 17:00:00"},
      {'E', "2024-02-29 17:00:00", "2024-03-31 17:00:00"},
      {'E', "2024-04-30 17:00:00", "2024-05-31 17:00:00"},
      {'E', "2023-12-31 17:00:00", "2024-01-31 17:00:00"},
      {'E', "2024-01-15 17:00:00", "2024-02-29 17:00:00"},
      // Not recurring: the start stays.
      {'O', "2024-01-15 09:00:00", "2024-01-15 09:00:00"},
      {'X', "2024-01-15 09:00:00", "2024-01-15 09:00:00"},
  };
  for (const StepCase& c : cases) {
    EXPECT_EQ(shown(kv::nextStart(c.code, at(c.from))), c.to) << c.code << " from " << c.from;
  }
}

struct ZoneStepCase {
  const char* zone;
  char code;
  const char* from;
  const char* to;
  Time elapsed;  // real seconds between the two
};

void PrintTo(const ZoneStepCase& c, std::ostream* out) {
  *out << c.zone << " " << c.code << " from " << c.from;
}

class DaylightSavingStepTest : public ::testing::TestWithParam<ZoneStepCase> {};

TEST_P(DaylightSavingStepTest, DayBasedCodesKeepTheClockElapsedCodesTheSeconds) {
  const ZoneStepCase& c = GetParam();
  KV_IN_TIME_ZONE(zone, c.zone);
  const Time from = at(c.from);
  const Time next = kv::nextStart(c.code, from);
  EXPECT_EQ(shown(next), c.to);
  EXPECT_EQ(next - from, c.elapsed);
}

constexpr Time kDay = 86400;
constexpr Time kHour = 3600;

INSTANTIATE_TEST_SUITE_P(
    Berlin, DaylightSavingStepTest,
    ::testing::Values(
        // Spring: 31 March 2024, 02:00 becomes 03:00. Autumn: 27 October, 03:00 becomes 02:00.
        ZoneStepCase{"Europe/Berlin", 'D', "2024-03-30 09:00:00", "2024-03-31 09:00:00",
                     kDay - kHour},
        ZoneStepCase{"Europe/Berlin", 'D', "2024-10-26 09:00:00", "2024-10-27 09:00:00",
                     kDay + kHour},
        ZoneStepCase{"Europe/Berlin", 'K', "2024-03-29 09:00:00", "2024-04-01 09:00:00",
                     3 * kDay - kHour},
        ZoneStepCase{"Europe/Berlin", 'K', "2024-10-25 09:00:00", "2024-10-28 09:00:00",
                     3 * kDay + kHour},
        ZoneStepCase{"Europe/Berlin", 'W', "2024-03-25 09:00:00", "2024-04-01 09:00:00",
                     7 * kDay - kHour},
        ZoneStepCase{"Europe/Berlin", 'W', "2024-10-21 09:00:00", "2024-10-28 09:00:00",
                     7 * kDay + kHour},
        ZoneStepCase{"Europe/Berlin", 'T', "2024-03-15 09:00:00", "2024-04-15 09:00:00",
                     31 * kDay - kHour},
        ZoneStepCase{"Europe/Berlin", 'T', "2024-10-15 09:00:00", "2024-11-15 09:00:00",
                     31 * kDay + kHour},
        ZoneStepCase{"Europe/Berlin", 'E', "2024-02-29 09:00:00", "2024-03-31 09:00:00",
                     31 * kDay - kHour},
        ZoneStepCase{"Europe/Berlin", 'E', "2024-09-30 09:00:00", "2024-10-31 09:00:00",
                     31 * kDay + kHour},
        // Elapsed codes count real seconds: the clock jumps with the change.
        ZoneStepCase{"Europe/Berlin", 'H', "2024-03-31 01:30:00", "2024-03-31 03:30:00", kHour},
        ZoneStepCase{"Europe/Berlin", 'F', "2024-03-31 01:50:00", "2024-03-31 03:05:00", 900},
        ZoneStepCase{"Europe/Berlin", 'M', "2024-10-27 02:59:30", "2024-10-27 02:00:30", 60},
        // A clock time inside the spring gap moves an hour on and keeps it.
        ZoneStepCase{"Europe/Berlin", 'D', "2024-03-30 02:30:00", "2024-03-31 03:30:00", kDay},
        ZoneStepCase{"Europe/Berlin", 'D', "2024-03-31 03:30:00", "2024-04-01 03:30:00", kDay},
        // The repeated autumn hour: its first showing, once, then the next day.
        ZoneStepCase{"Europe/Berlin", 'D', "2024-10-26 02:30:00", "2024-10-27 02:30:00", kDay},
        ZoneStepCase{"Europe/Berlin", 'D', "2024-10-27 02:30:00", "2024-10-28 02:30:00",
                     kDay + kHour}));

INSTANTIATE_TEST_SUITE_P(
    NewYork, DaylightSavingStepTest,
    ::testing::Values(
        // Spring: 10 March 2024, 02:00 becomes 03:00. Autumn: 3 November, 02:00 becomes 01:00.
        ZoneStepCase{"America/New_York", 'D', "2024-03-09 09:00:00", "2024-03-10 09:00:00",
                     kDay - kHour},
        ZoneStepCase{"America/New_York", 'D', "2024-11-02 09:00:00", "2024-11-03 09:00:00",
                     kDay + kHour},
        ZoneStepCase{"America/New_York", 'K', "2024-03-08 09:00:00", "2024-03-11 09:00:00",
                     3 * kDay - kHour},
        ZoneStepCase{"America/New_York", 'K', "2024-11-01 09:00:00", "2024-11-04 09:00:00",
                     3 * kDay + kHour},
        ZoneStepCase{"America/New_York", 'W', "2024-03-04 18:00:00", "2024-03-11 18:00:00",
                     7 * kDay - kHour},
        ZoneStepCase{"America/New_York", 'W', "2024-10-28 18:00:00", "2024-11-04 18:00:00",
                     7 * kDay + kHour},
        ZoneStepCase{"America/New_York", 'T', "2024-02-20 06:00:00", "2024-03-20 06:00:00",
                     29 * kDay - kHour},
        ZoneStepCase{"America/New_York", 'T', "2024-10-20 06:00:00", "2024-11-20 06:00:00",
                     31 * kDay + kHour},
        ZoneStepCase{"America/New_York", 'E', "2024-02-29 06:00:00", "2024-03-31 06:00:00",
                     31 * kDay - kHour},
        ZoneStepCase{"America/New_York", 'E', "2024-10-31 06:00:00", "2024-11-30 06:00:00",
                     30 * kDay + kHour},
        ZoneStepCase{"America/New_York", 'D', "2024-03-09 02:30:00", "2024-03-10 03:30:00", kDay},
        ZoneStepCase{"America/New_York", 'D', "2024-11-02 01:30:00", "2024-11-03 01:30:00", kDay},
        ZoneStepCase{"America/New_York", 'D', "2024-11-03 01:30:00", "2024-11-04 01:30:00",
                     kDay + kHour}));

INSTANTIATE_TEST_SUITE_P(
    Nuuk, DaylightSavingStepTest,
    ::testing::Values(
        // 30 March 2024, 23:00 becomes 00:00: 23:30 that night moves to 00:30 the next day.
        ZoneStepCase{"America/Nuuk", 'D', "2024-03-29 23:30:00", "2024-03-31 00:30:00", kDay}));

// Whatever the zone and the start: the next start is later, and the
// day-based codes keep their clock time (or, on a day that skips it, show
// it an hour later) and their calendar rule.
TEST(RecurrenceTest, NextStartIsLaterAndKeepsTheRule) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  const Time first = at("2023-12-20 00:00:00");
  const Time last = at("2025-01-10 00:00:00");
  for (char code : std::string("MFHDKWTE")) {
    for (Time start = first; start < last; start += 7 * 3600 + 1789) {
      const Time next = kv::nextStart(code, start);
      ASSERT_GT(next, start) << code << " " << shown(start);
      if (code == 'M' || code == 'F' || code == 'H') continue;
      const LocalTime was = kv::toLocalTime(start);
      const LocalTime is = kv::toLocalTime(next);
      ASSERT_EQ(is.minute, was.minute) << code << " " << shown(start);
      ASSERT_EQ(is.second, was.second) << code << " " << shown(start);
      if (is.hour != was.hour) {
        LocalTime asked = is;
        asked.hour = was.hour;
        ASSERT_EQ(is.hour, was.hour + 1) << code << " " << shown(start);
        ASSERT_EQ(kv::fromLocalClock(asked), next) << code << " " << shown(start);
      }
      const int days = kv::dayNumber(is) - kv::dayNumber(was);
      switch (code) {
        case 'D':
          ASSERT_EQ(days, 1);
          break;
        case 'W':
          ASSERT_EQ(days, 7);
          break;
        case 'K':
          ASSERT_TRUE(is.weekday >= 1 && is.weekday <= 5) << shown(next);
          ASSERT_TRUE(days == 1 || was.weekday == 5 || was.weekday == 6 || was.weekday == 0);
          ASSERT_LE(days, 3);
          break;
        case 'T':
          ASSERT_EQ(is.day, was.day) << shown(start);
          ASSERT_LE(days, 92);
          break;
        case 'E':
          ASSERT_EQ(is.day, kv::daysInMonth(is.year, is.month));
          ASSERT_EQ((is.year * 12 + is.month) - (was.year * 12 + was.month), 1);
          break;
      }
    }
  }
}

TEST(RecurrenceTest, ReFilingStopsAtTheEndTime) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time start = at("2024-01-15 09:00:00");
  const Time next = at("2024-01-16 09:00:00");
  struct Case {
    char code;
    Time end;
    bool stays;
  } const cases[] = {
      {'D', next, true},                                 // next start equal to the end: still runs
      {'D', next - 1, false},                            // one second short
      {'D', kLastTime, true},  {'O', kLastTime, false},  // Once leaves whatever its end
      {'X', kLastTime, false},                           // as does an unknown code
  };
  for (const Case& c : cases) {
    const std::optional<ScheduleEntry> refiled = kv::refileAfterLaunch(entry(c.code, start, c.end));
    ASSERT_EQ(refiled.has_value(), c.stays) << c.code << " end " << c.end;
    if (!refiled) continue;
    ScheduleEntry expected = entry(c.code, next, c.end);
    EXPECT_EQ(*refiled, expected);
  }
}

TEST(RecurrenceTest, EveryQuarterHourRunsThreeTimesUpToItsEnd) {
  KV_IN_TIME_ZONE(zone, "UTC");
  std::optional<ScheduleEntry> e = entry('F', at("2024-01-15 10:00:01"), at("2024-01-15 10:30:59"));
  std::vector<std::string> launches;
  while (e) {
    launches.push_back(shown(e->start));
    e = kv::refileAfterLaunch(*e);
  }
  EXPECT_EQ(launches, (std::vector<std::string>{"2024-01-15 10:00:01", "2024-01-15 10:15:01",
                                                "2024-01-15 10:30:01"}));
}

TEST(RecurrenceTest, ANextStartPastTheRangeLeaves) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EXPECT_EQ(kv::nextStart('M', kLastTime - 59), kLastTime - 59);
  EXPECT_EQ(kv::nextStart('M', kLastTime - 60), kLastTime);
  EXPECT_EQ(kv::nextStart('D', kLastTime - 3600), kLastTime - 3600);
  EXPECT_EQ(kv::nextStart('E', at("2106-01-31 00:00:00")), at("2106-01-31 00:00:00"));
  for (char code : std::string("MFHDKWTE")) {
    EXPECT_FALSE(kv::refileAfterLaunch(entry(code, kLastTime - 30, kLastTime))) << code;
  }
}

struct CatchUpCase {
  char code;
  const char* start;
  const char* load;
  const char* expected;  // nullptr: dropped
};

TEST(RecurrenceTest, CatchUpMovesToTheFirstOccurrenceAfterTheLoad) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const CatchUpCase cases[] = {
      {'M', "2024-01-15 11:58:00", "2024-01-15 12:00:30", "2024-01-15 12:01:00"},
      // An occurrence exactly at the load time is passed over.
      {'M', "2024-01-15 11:59:30", "2024-01-15 12:00:30", "2024-01-15 12:01:30"},
      {'F', "2024-01-15 11:45:30", "2024-01-15 12:00:30", "2024-01-15 12:15:30"},
      {'H', "2024-01-15 09:00:30", "2024-01-15 12:00:30", "2024-01-15 13:00:30"},
      {'M', "2000-01-01 00:00:10", "2024-01-15 12:00:30", "2024-01-15 12:01:10"},
      {'D', "2024-01-12 12:00:30", "2024-01-15 12:00:30", "2024-01-16 12:00:30"},
      {'D', "2024-01-10 08:00:00", "2024-01-15 12:00:30", "2024-01-16 08:00:00"},
      {'D', "2024-01-10 13:00:00", "2024-01-15 12:00:30", "2024-01-15 13:00:00"},
      {'D', "1990-06-01 08:00:00", "2024-01-15 12:00:30", "2024-01-16 08:00:00"},
      // Weekdays: 19 January 2024 is a Friday.
      {'K', "2024-01-08 13:00:00", "2024-01-19 12:00:30", "2024-01-19 13:00:00"},
      {'K', "2024-01-08 08:00:00", "2024-01-19 12:00:30", "2024-01-22 08:00:00"},
      {'K', "2024-01-06 08:00:00", "2024-01-20 12:00:30", "2024-01-22 08:00:00"},
      {'W', "2024-01-01 12:00:30", "2024-01-15 12:00:30", "2024-01-22 12:00:30"},
      {'W', "2021-01-07 10:00:00", "2024-01-15 12:00:30", "2024-01-18 10:00:00"},
      {'T', "2023-01-31 09:00:00", "2024-01-15 12:00:30", "2024-01-31 09:00:00"},
      {'T', "2023-01-31 09:00:00", "2024-02-15 12:00:30", "2024-03-31 09:00:00"},
      {'T', "2023-01-29 09:00:00", "2024-02-10 12:00:30", "2024-02-29 09:00:00"},
      {'T', "2023-03-30 09:00:00", "2024-03-30 09:00:00", "2024-04-30 09:00:00"},
      {'T', "2024-01-20 09:00:00", "2024-01-25 12:00:30", "2024-02-20 09:00:00"},
      {'E', "2023-01-31 09:00:00", "2024-02-15 12:00:30", "2024-02-29 09:00:00"},
      {'E', "2023-01-31 09:00:00", "2024-02-29 09:00:00", "2024-03-31 09:00:00"},
      {'E', "2024-02-10 09:00:00", "2024-02-15 12:00:30", "2024-02-29 09:00:00"},
      {'E', "2024-01-31 09:00:00", "2024-01-31 10:00:00", "2024-02-29 09:00:00"},
      // A start at or after the load time stays.
      {'M', "2024-01-15 12:00:30", "2024-01-15 12:00:30", "2024-01-15 12:00:30"},
      {'E', "2024-03-31 09:00:00", "2024-02-15 12:00:30", "2024-03-31 09:00:00"},
      // An unknown code stays where it is.
      {'X', "2024-01-10 08:00:00", "2024-01-15 12:00:30", "2024-01-10 08:00:00"},
  };
  for (const CatchUpCase& c : cases) {
    const Time load = at(c.load);
    const std::optional<ScheduleEntry> caught =
        kv::catchUpOnLoad(entry(c.code, at(c.start), kLastTime), load, load);
    ASSERT_TRUE(caught.has_value()) << c.code << " " << c.start;
    EXPECT_EQ(shown(caught->start), c.expected) << c.code << " " << c.start << " load " << c.load;
    EXPECT_EQ(caught->end, kLastTime);
  }
}

TEST(RecurrenceTest, CatchUpDropsWhatCanNoLongerRun) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time load = at("2024-01-15 12:00:30");
  const Time lateLoad = kLastTime - 20;
  struct Case {
    const char* what;
    ScheduleEntry e;
    Time load;
    Time now;
    std::optional<Time> start;  // empty: dropped
  } const cases[] = {
      {"past Once", entry('O', load - 1, kLastTime), load, load, std::nullopt},
      {"Once past by the time it is tested", entry('O', load + 5, kLastTime), load, load + 6,
       std::nullopt},
      {"Once at the clock", entry('O', load + 5, kLastTime), load, load + 5, load + 5},
      {"Once ended before load", entry('O', load + 60, load - 1), load, load, std::nullopt},
      {"Daily ended before load", entry('D', load - 100, load - 1), load, load, std::nullopt},
      {"unknown ended before load", entry('X', load - 100, load - 1), load, load, std::nullopt},
      // The end is the last moment a repeating entry may start, the moved
      // start included.
      {"Daily ending at load", entry('D', load - 100, load), load, load, std::nullopt},
      {"Daily ending before its moved start", entry('D', load - 100, load + 10), load, load,
       std::nullopt},
      {"Daily whose moved start is its end", entry('D', load - 100, load - 100 + 86400), load, load,
       load - 100 + 86400},
      {"Hourly starting after its end", entry('H', load + 7200, load + 3600), load, load,
       std::nullopt},
      {"Once starting after its end stays", entry('O', load + 7200, load + 3600), load, load,
       load + 7200},
      {"past the 32-bit range", entry('M', kLastTime - 50, kLastTime), lateLoad, lateLoad,
       std::nullopt},
      {"Daily past the 32-bit range", entry('D', kLastTime - 50, kLastTime), lateLoad, lateLoad,
       std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(startOf(kv::catchUpOnLoad(c.e, c.load, c.now)), c.start) << c.what;
  }
}

// With MissedStarts on, every entry whose start passed while the schedule
// was not loaded keeps that start, to be started once by the first check;
// off, a one-time one is dropped and a repeating one moves on unstarted.
// An entry whose end has passed is dropped either way.
TEST(RecurrenceTest, MissedStartsOnALoadRunOnceOrAreSkippedForEveryFrequency) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time load = at("2024-01-15 12:00:30");
  const Time missed = load - 2 * 86400 - 100;
  for (char code : std::string("OMFHDKWTE")) {
    const ScheduleEntry e = entry(code, missed, kLastTime);
    EXPECT_EQ(startOf(kv::catchUpOnLoad(e, load, load, kv::MissedStarts::RunOnce)), missed) << code;
    const auto skipped = startOf(kv::catchUpOnLoad(e, load, load, kv::MissedStarts::Skip));
    EXPECT_EQ(skipped.has_value(), code != 'O') << code;
    EXPECT_GT(skipped.value_or(load + 1), load) << code;
    for (auto rule : {kv::MissedStarts::RunOnce, kv::MissedStarts::Skip}) {
      EXPECT_FALSE(kv::catchUpOnLoad(entry(code, missed, load - 1), load, load, rule)) << code;
    }
  }
}

TEST(RecurrenceTest, CatchUpKeepsTheClockAcrossDaylightSaving) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  struct Case {
    char code;
    const char* start;
    const char* load;
    const char* expected;
  } const cases[] = {
      {'D', "2024-03-01 09:00:00", "2024-04-10 12:00:00", "2024-04-11 09:00:00"},
      {'D', "2024-07-01 09:00:00", "2024-11-10 08:00:00", "2024-11-10 09:00:00"},
      {'W', "2024-01-01 09:00:00", "2024-04-10 12:00:00", "2024-04-15 09:00:00"},
      {'K', "2024-01-01 09:00:00", "2024-03-31 12:00:00", "2024-04-01 09:00:00"},
      {'T', "2024-01-31 09:00:00", "2024-04-10 12:00:00", "2024-05-31 09:00:00"},
      {'E', "2024-01-31 09:00:00", "2024-04-10 12:00:00", "2024-04-30 09:00:00"},
      {'F', "2024-03-31 01:50:00", "2024-03-31 03:05:00", "2024-03-31 03:20:00"},
  };
  for (const Case& c : cases) {
    const Time load = at(c.load);
    const std::optional<ScheduleEntry> caught =
        kv::catchUpOnLoad(entry(c.code, at(c.start), kLastTime), load, load);
    ASSERT_TRUE(caught.has_value()) << c.code << " " << c.start;
    EXPECT_EQ(shown(caught->start), c.expected) << c.code << " " << c.start;
  }
}

// The calendar jump over a long gap lands where stepping one occurrence
// at a time would.
TEST(RecurrenceTest, FirstOccurrenceAfterAgreesWithSteppingOneByOne) {
  KV_IN_TIME_ZONE(zone, "America/New_York");
  const char* const starts[] = {"2023-01-31 09:00:00", "2023-02-04 23:30:00",
                                "2023-03-29 00:15:00"};
  // Month End starts on a month end, where the entry dialog puts it.
  const char* const monthEnds[] = {"2023-01-31 09:00:00", "2023-02-28 23:30:00",
                                   "2023-04-30 00:15:00"};
  for (char code : std::string("HDKWTE")) {
    for (const char* startText : code == 'E' ? monthEnds : starts) {
      const Time start = at(startText);
      Time stepped = start;
      const Time last = at("2025-06-01 00:00:00");
      for (Time after = start; after < last; after += 13 * 3600 + 77) {
        while (stepped <= after) stepped = kv::nextStart(code, stepped);
        ASSERT_EQ(kv::firstOccurrenceAfter(code, start, after), stepped)
            << code << " from " << startText << " after " << shown(after);
      }
    }
  }
}

}  // namespace
