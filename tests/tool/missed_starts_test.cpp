// What next and check say of the starts that passed while the schedule was
// not loaded, with Run Missed Starts off and on.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/recurrence.h"
#include "schedule_lines.h"
#include "time_zone.h"
#include "tool/commands.h"

namespace {

using kv::MissedStarts;
using kv::Time;
using kv::tool::Format;
using kvtest::at;
using kvtest::fileOf;
using kvtest::line;

std::string nextStarts(const std::string& bytes, Format format, MissedStarts missed) {
  std::ostringstream out;
  kv::tool::writeNext(
      bytes, {at("2026-01-05T08:00"), at("2026-01-06T09:00"), std::nullopt, format, missed}, out);
  return out.str();
}

// Entries behind a load on Monday 2026-01-05 at 08:00, and one that is not.
struct Entries {
  std::string daily = line(at("2026-01-01T09:00"), at("2027-01-01"), 'D', "daily");
  std::string once = line(at("2026-01-04T10:00"), at("2026-02-01"), 'O', "once");
  std::string over = line(at("2026-01-03"), at("2026-01-04"), 'O', "over");
  // Its next start lies after its end.
  std::string weekly = line(at("2026-01-02T17:00"), at("2026-01-07"), 'W', "weekly");
  std::string noon = line(at("2026-01-05T12:00"), at("2027-01-01"), 'D', "noon");
  std::string odd = line(at("2026-01-02"), at("2027-01-01"), 'X', "odd");
};

std::string behindAtTheLoad() {
  const Entries e;
  return fileOf({e.daily, e.once, e.over, e.weekly, e.noon});
}

TEST(KvtoolNext, RunsEachMissedStartOnceAtTheLoadThenGoesOnAfterIt) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const struct {
    MissedStarts missed;
    const char* starts;
  } cases[] = {
      // Off: nothing behind starts; the weekly entry cannot run again.
      {MissedStarts::Skip,
       "start\tfrequency\tdescription\n"
       "2026-01-05T09:00:00\tDaily\tdaily\n"
       "2026-01-05T12:00:00\tDaily\tnoon\n"
       "2026-01-06T09:00:00\tDaily\tdaily\n"},
      // On: each starts once at the load, in due order, then goes on at its
      // first start after the load, not one step after its missed start.
      {MissedStarts::RunOnce,
       "start\tfrequency\tdescription\tmissed\n"
       "2026-01-05T08:00:00\tDaily\tdaily\t2026-01-01T09:00:00\n"
       "2026-01-05T08:00:00\tWeekly\tweekly\t2026-01-02T17:00:00\n"
       "2026-01-05T08:00:00\tOnce\tonce\t2026-01-04T10:00:00\n"
       "2026-01-05T09:00:00\tDaily\tdaily\t\n"
       "2026-01-05T12:00:00\tDaily\tnoon\t\n"
       "2026-01-06T09:00:00\tDaily\tdaily\t\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nextStarts(behindAtTheLoad(), Format::Tsv, c.missed), c.starts);
  }
}

// A load keeps an entry of an unknown code under its start, whatever the
// setting: the first due check starts it, a missed start all the same.
TEST(KvtoolNext, MarksAStartOfAnUnknownCodeBehindTheLoadAsMissed) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::string odd = fileOf({Entries().odd});
  EXPECT_EQ(
      nextStarts(odd, Format::Text, MissedStarts::Skip),
      "2026-01-05 08:00  Code X            odd  (missed start 2026-01-02 00:00, run at load)\n");
}

// The exit status, a blank, then what the check wrote.
std::string check(const std::string& bytes, MissedStarts missed) {
  std::ostringstream out;
  const int status =
      kv::tool::writeCheck(bytes, "s.KV", at("2026-01-05T08:00"), missed, nullptr, out);
  return std::to_string(status) + ' ' + out.str();
}

const std::string kKept = "s.KV: 1 of 1 entry kept by a load; loads as it stands\n";
const std::string kDropped =
    "s.KV: 0 of 1 entry kept by a load; a load would change or drop something (1)\n";

struct CheckCase {
  std::string entry;
  std::string report;
};

void expectReports(const std::vector<CheckCase>& cases, MissedStarts missed) {
  for (const CheckCase& c : cases) {
    EXPECT_EQ(check(fileOf({c.entry}), missed), c.report) << c.entry;
  }
}

// Off, a load starts no missed start, and check says nothing of them but
// for an entry of an unknown code, which a load keeps under its start.
TEST(KvtoolCheck, WithoutTheSettingNotesOnlyTheMissedStartsALoadRuns) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Entries e;
  expectReports(
      {{e.daily, "0 " + kKept},
       {e.once,
        "1 s.KV:2: one-time entry in the past (2026-01-04 10:00): a load drops it\n" + kDropped},
       {e.noon, "0 " + kKept},
       {e.odd,
        "0 s.KV:2: note: a load starts it once (missed start 2026-01-02 00:00)\n"
        "s.KV:2: warning: unknown frequency code 'X': the entry starts once and leaves\n"
        "s.KV: 1 of 1 entry kept by a load; loads as it stands; 1 warning\n"}},
      MissedStarts::Skip);
}

// On, the load keeps each missed start, to run it once, and the entry goes
// on at its first start after the load, or leaves.
TEST(KvtoolCheck, ReportsTheMissedStartsALoadRunsOnce) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Entries e;
  expectReports(
      {{e.daily,
        "0 s.KV:2: note: a load starts it once (missed start 2026-01-01 09:00), then at "
        "2026-01-05 09:00\n" +
            kKept},
       {e.once, "0 s.KV:2: note: a load starts it once (missed start 2026-01-04 10:00)\n" + kKept},
       {e.over,
        "1 s.KV:2: one-time entry in the past (2026-01-03 00:00): a load drops it\n" + kDropped},
       {e.weekly,
        "0 s.KV:2: note: a load starts it once (missed start 2026-01-02 17:00), its last start\n" +
            kKept},
       {e.noon, "0 " + kKept}},
      MissedStarts::RunOnce);
}

}  // namespace
