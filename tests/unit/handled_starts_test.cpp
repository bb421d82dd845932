// The record of the starts Kivro dealt with, and a load with missed starts
// run that reads it.
#include "engine/handled_starts.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock_text.h"
#include "latin1.h"
#include "time_zone.h"

namespace {

using kv::ScheduleEntry;
using kv::Time;
using kvtest::at;
using kvtest::latin1ToUtf8;
using kvtest::shown;

constexpr const char* kSchedule = "C:\\Schedules\\day.KV";

ScheduleEntry entry(char frequency, Time start, const std::string& description = "Back up",
                    Time end = 4000000000u) {
  ScheduleEntry e;
  e.frequency = frequency;
  e.start = start;
  e.end = end;
  e.commandLine = "C:\\Tools\\backup.exe /all";
  e.workingDirectory = "C:\\Tools";
  e.description = description;
  return e;
}

struct Line {
  Time through;
  const char* schedule;
  ScheduleEntry entry;
};

std::string recordOf(const std::vector<Line>& lines) {
  std::string bytes = std::string(kv::kHandledStartsHeader) + "\r\n";
  for (const Line& l : lines) {
    bytes += kv::handledStartLine(l.through, l.schedule, l.entry, latin1ToUtf8) + "\r\n";
  }
  return bytes;
}

kv::HandledThrough lookupIn(const std::string& record) {
  return kv::handledThroughLookup(
      std::make_shared<const kv::HandledStarts>(record, kSchedule, latin1ToUtf8));
}

std::string startAfterLoad(const ScheduleEntry& e, Time load, const std::string& record) {
  const std::optional<ScheduleEntry> loaded =
      kv::catchUpOnLoad(e, load, load, kv::MissedStarts::RunOnce, lookupIn(record));
  return loaded ? shown(loaded->start) : "dropped";
}

// With Run Missed Starts on, a start that the record says Kivro dealt with
// is never run again as a missed one; every start after it still is, once.
TEST(HandledStarts, ALoadRunsOnlyTheStartsNobodyDealtWith) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time t = at("2026-12-01 09:00:00");
  const ScheduleEntry daily = entry('D', t);
  ScheduleEntry edited = daily;
  edited.commandLine = "C:\\Tools\\backup.exe /new";
  ScheduleEntry tabbed = entry('D', t, "Caf\xE9\tnight");
  const struct Case {
    const char* what;
    ScheduleEntry loaded;
    std::vector<Line> record;
    Time load;
    const char* start;
  } cases[] = {
      {"ran, not saved since", daily, {{t, kSchedule, daily}}, t + 3600, "2026-12-02 09:00:00"},
      {"ran in the very second of the load",
       daily,
       {{t, kSchedule, daily}},
       t,
       "2026-12-02 09:00:00"},
      {"ran, then a start was truly missed",
       daily,
       {{t, kSchedule, daily}},
       t + 86400 + 3600,
       "2026-12-02 09:00:00"},
      {"the starts a due check passed over after a sleep",
       entry('M', t),
       {{t + 300, kSchedule, entry('M', t)}},
       t + 310,
       "2026-12-01 09:06:00"},
      {"a one-time entry that ran",
       entry('O', t),
       {{t, kSchedule, entry('O', t)}},
       t + 60,
       "dropped"},
      {"its next start lies after its end",
       entry('D', t, "Back up", t + 43200),
       {{t, kSchedule, entry('D', t, "Back up", t + 43200)}},
       t + 3600,
       "dropped"},
      {"nothing dealt with", daily, {}, t + 3600, "2026-12-01 09:00:00"},
      {"another schedule's entry",
       daily,
       {{t, "C:\\Schedules\\night.KV", daily}},
       t + 3600,
       "2026-12-01 09:00:00"},
      {"an entry whose command changed since",
       edited,
       {{t, kSchedule, daily}},
       t + 3600,
       "2026-12-01 09:00:00"},
      {"the schedule named in other letter case",
       daily,
       {{t, "c:\\schedules\\DAY.kv", daily}},
       t + 3600,
       "2026-12-02 09:00:00"},
      {"a start after the last one dealt with",
       entry('D', t + 7200),
       {{t, kSchedule, daily}},
       t + 3 * 3600,
       "2026-12-01 11:00:00"},
      {"the newest line holds, though the clock went back",
       daily,
       {{t + 30 * 86400, kSchedule, daily}, {t, kSchedule, daily}},
       t + 3600,
       "2026-12-02 09:00:00"},
      {"a description beyond ASCII, with a tab in it",
       tabbed,
       {{t, kSchedule, tabbed}},
       t + 3600,
       "2026-12-02 09:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(startAfterLoad(c.loaded, c.load, recordOf(c.record)), c.start) << c.what;
  }
}

// Compacting keeps the newest line of each entry, so every lookup gives what
// it gave before; damaged lines go.
TEST(HandledStarts, CompactingKeepsWhatEveryEntryWasDealtWithUpTo) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time t = at("2026-12-01 09:00:00");
  const std::vector<ScheduleEntry> entries = {entry('D', t, "a"), entry('D', t, "b"),
                                              entry('H', t, "c")};
  std::string record = recordOf({{t, kSchedule, entries[0]},
                                 {t, kSchedule, entries[1]},
                                 {t + 60, kSchedule, entries[0]},
                                 {t + 90, "C:\\SCHEDULES\\Day.kv", entries[0]},
                                 {t + 120, kSchedule, entries[2]},
                                 {t + 30, "C:\\Other.KV", entries[1]}});
  record += "2026-12-01T09:00:00+00:00\tdamaged\r\nnot a record at all\r\n";
  const std::string compacted = kv::compactHandledStarts(record);

  EXPECT_EQ(compacted, recordOf({{t, kSchedule, entries[1]},
                                 {t + 90, "C:\\SCHEDULES\\Day.kv", entries[0]},
                                 {t + 120, kSchedule, entries[2]},
                                 {t + 30, "C:\\Other.KV", entries[1]}}));
  const kv::HandledThrough before = lookupIn(record);
  const kv::HandledThrough after = lookupIn(compacted);
  for (const ScheduleEntry& e : entries) EXPECT_EQ(before(e), after(e)) << e.description;
  EXPECT_EQ(after(entries[0]), t + 90);
  EXPECT_EQ(kv::compactHandledStarts(""), std::string(kv::kHandledStartsHeader) + "\r\n");
}

}  // namespace
