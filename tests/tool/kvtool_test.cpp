#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "local_time.h"
#include "schedule/entry_line.h"
#include "time_zone.h"
#include "tool/arguments.h"
#include "tool/commands.h"
#include "tool/legacy_text.h"

namespace {

using kv::MissedStarts;
using kv::Time;
using kv::test::at;
using kv::tool::Format;

std::string exampleSchedule() {
  std::ifstream in(KV_SOURCE_DIR "/tests/tool/fixed_schedule.KV", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string line(Time start, Time end, char frequency, const std::string& description) {
  return kv::composeEntryLine(
      {start, end, frequency, 1, "C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS", '0', description});
}

std::string fileOf(const std::vector<std::string>& lines) {
  std::string bytes = "Version=3.0\r\n";
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

// The starts in tsv, below the row of column names.
std::string next(const std::string& bytes, const char* from, const char* until,
                 std::optional<std::size_t> count) {
  std::ostringstream out;
  kv::tool::writeNext(bytes, {at(from), at(until), count, Format::Tsv}, out);
  const std::string columns = "start\tfrequency\tdescription\n";
  EXPECT_EQ(out.str().rfind(columns, 0), 0u) << out.str();
  return out.str().substr(columns.size());
}

TEST(KvtoolList, ShowsFilesAsStoredInDueOrder) {
  KV_IN_TIME_ZONE(zone, "UTC");
  std::ostringstream out;
  kv::tool::writeList(exampleSchedule(), Format::Tsv, out);
  // The Month End entry holds no description: tsv shows none, text the default.
  EXPECT_EQ(out.str(),
            "start\tfrequency\tend\tshow\taction\tcommand\tdirectory\tdescription\n"
            "2026-01-01T00:00:01\tHourly\t2035-12-31T13:00:59\tNormal, background\topen\t"
            "C:\\windows\\system32\\cmd.exe /c ver\tC:\\windows\\system32\tHourly version check\n"
            "2026-01-01T12:30:01\tDaily\t2035-12-31T13:00:59\tMinimized, background\topen\t"
            "C:\\windows\\system32\\cmd.exe /c echo lunch\tC:\\windows\\system32\tLunch reminder\n"
            "2026-01-02T17:00:01\tWeekly\t2035-12-31T13:00:59\tMinimized\topen\t"
            "C:\\windows\\system32\\cmd.exe /c dir\tC:\\windows\tWeekly folder listing\n"
            "2026-01-05T09:00:01\tWeekdays\t2035-12-31T13:00:59\tNormal\topen\t"
            "C:\\windows\\notepad.exe C:\\windows\\win.ini\tC:\\windows\tMorning notes\n"
            "2026-01-15T07:45:01\tMonthly\t2035-12-31T13:00:59\tMaximized\topen\t"
            "C:\\windows\\notepad.exe C:\\windows\\system.ini\tC:\\windows\tMonthly check\n"
            "2026-01-31T08:00:01\tMonth End\t2035-12-31T13:00:59\tNormal\topen\t"
            "C:\\windows\\notepad.exe\tC:\\windows\t\n"
            "2031-06-01T10:00:01\tOnce\t2035-12-31T13:00:59\tNormal\topen\t"
            "C:\\windows\\notepad.exe\tC:\\windows\tOnce, in 2031\n");

  // Header-less, a start long past, unknown show command 9: converted, not caught up.
  out.str("");
  kv::tool::writeList("1000000000 2000000000 D 9 C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT\r\n",
                      Format::Text, out);
  EXPECT_EQ(out.str(),
            "2001-09-09 01:46  Daily             until 2033-05-18 03:33  Show 9                 "
            "open   C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT  [C:\\WINDOWS]  "
            "C:\\WINDOWS\\NOTEPAD.EXE C:\\NOTES.TXT\n");
}

TEST(KvtoolNext, MergesTheExampleAfterCatchingItUp) {
  KV_IN_TIME_ZONE(zone, "UTC");
  // Hourly and Daily are caught up to the load; Hourly and Weekdays start
  // together at 09:00:01, in the store's order.
  EXPECT_EQ(next(exampleSchedule(), "2026-01-05T08:00", "2026-01-05T12:30:01", 100),
            "2026-01-05T08:00:01\tHourly\tHourly version check\n"
            "2026-01-05T09:00:01\tHourly\tHourly version check\n"
            "2026-01-05T09:00:01\tWeekdays\tMorning notes\n"
            "2026-01-05T10:00:01\tHourly\tHourly version check\n"
            "2026-01-05T11:00:01\tHourly\tHourly version check\n"
            "2026-01-05T12:00:01\tHourly\tHourly version check\n"
            "2026-01-05T12:30:01\tDaily\tLunch reminder\n");
  EXPECT_EQ(next(exampleSchedule(), "2031-06-01T10:00:02", "2040-01-01", 1000).find("Once"),
            std::string::npos);
  // Without --count, --until shows every start up to it, more than ten.
  EXPECT_TRUE(next(exampleSchedule(), "2026-01-05T08:00", "2026-01-06", std::nullopt)
                  .ends_with("2026-01-05T23:00:01\tHourly\tHourly version check\n"));
  // A description the file leaves empty stays empty after each start.
  EXPECT_EQ(next(fileOf({line(at("2026-01-05T09:00"), at("2027-01-01"), 'D', "")}), "2026-01-05",
                 "2026-01-06T10:00", std::nullopt),
            "2026-01-05T09:00:00\tDaily\t\n2026-01-06T09:00:00\tDaily\t\n");
}

TEST(KvtoolNext, FollowsTheClocksAcrossSpringForwardAndFallBack) {
  KV_IN_TIME_ZONE(zone, "America/New_York");
  // Hourly steps by elapsed time and stops at its end; Daily keeps its clock
  // time, moved out of the skipped hour and never started twice in the
  // repeated one.
  const std::string spring =
      fileOf({line(at("2026-03-07T02:45:01"), at("2030-01-01"), 'D', "daily"),
              line(at("2026-03-08T00:30:01"), at("2026-03-08T04:00"), 'H', "hourly")});
  EXPECT_EQ(next(spring, "2026-03-07", "2026-03-09T12:00", 100),
            "2026-03-07T02:45:01\tDaily\tdaily\n"
            "2026-03-08T00:30:01\tHourly\thourly\n"
            "2026-03-08T01:30:01\tHourly\thourly\n"
            "2026-03-08T03:30:01\tHourly\thourly\n"
            "2026-03-08T03:45:01\tDaily\tdaily\n"
            "2026-03-09T03:45:01\tDaily\tdaily\n");

  const std::string autumn =
      fileOf({line(at("2026-10-31T01:40:01"), at("2030-01-01"), 'D', "daily"),
              line(at("2026-11-01T00:30:01"), at("2026-11-01T03:00:59"), 'H', "hourly")});
  EXPECT_EQ(next(autumn, "2026-10-31", "2026-11-02T12:00", 100),
            "2026-10-31T01:40:01\tDaily\tdaily\n"
            "2026-11-01T00:30:01\tHourly\thourly\n"
            "2026-11-01T01:30:01\tHourly\thourly\n"
            "2026-11-01T01:40:01\tDaily\tdaily\n"
            "2026-11-01T01:30:01\tHourly\thourly\n"
            "2026-11-01T02:30:01\tHourly\thourly\n"
            "2026-11-02T01:40:01\tDaily\tdaily\n");
  EXPECT_EQ(next(autumn, "2026-10-31", "2030-01-01", 3),
            "2026-10-31T01:40:01\tDaily\tdaily\n"
            "2026-11-01T00:30:01\tHourly\thourly\n"
            "2026-11-01T01:30:01\tHourly\thourly\n");
}

TEST(KvtoolText, ShowsWindows1252AsUtf8WithControlBytesEscaped) {
  // 0x81, 0x8D, 0x90 and 0x9D, undefined in 1252, stay C1 controls.
  EXPECT_EQ(kv::tool::escapedUtf8(
                kv::utf8FromWindows1252("Caf\xE9\x80\x8A\x9F\xFF\t\x12\x7F\x81\x8D\x90\x9D")),
            "Café€ŠŸÿ\\x09\\x12\\x7F\\x81\\x8D\\x90\\x9D");
  KV_IN_TIME_ZONE(zone, "UTC");
  std::ostringstream out;
  kv::tool::writeList(fileOf({line(at("2026-01-05"), at("2027-01-01"), 'D', "Caf\xE9\x12x")}),
                      Format::Tsv, out);
  EXPECT_NE(out.str().find("\tCafé\\x12x\n"), std::string::npos) << out.str();
}

// A file of an earlier version is read in its code page: 1252 unless
// --code-page names another. A UTF-8 file reads the same whatever is named,
// and check notes a file that a save will write anew in UTF-8.
TEST(KvtoolText, ReadsAFileOfAnEarlierVersionInItsCodePage) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const struct {
    unsigned codePage;
    std::string description;
    std::string shown;
  } cases[] = {
      {kv::tool::kDefaultCodePage, "Caf\xE9", "Café"},
      {1252, "Caf\xE9 \x80", "Café €"},
      {1251, "\xCE\xF2\xF7\xB8\xF2", "Отчёт"},
      {1253, "\xC5\xEB\xEB\xDC\xE4\xE1", "Ελλάδα"},
      {1251, "a\x98", "a\\x98"},  // undefined in 1251: shown as the byte it was
      {1253, "Отчёт 報告", "Отчёт 報告"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    const std::optional<kv::LegacyTextReader> reader = kv::tool::legacyTextReader(c.codePage);
    ASSERT_TRUE(reader);
    std::ostringstream out;
    kv::tool::writeList(fileOf({line(at("2026-01-05"), at("2027-01-01"), 'D', c.description)}),
                        Format::Tsv, out, *reader);
    EXPECT_NE(out.str().find("\t" + c.shown + "\n"), std::string::npos) << out.str();
  }
  // Code pages whose marks the C library would join to their letters.
  for (unsigned codePage : {1255u, 1258u, 932u, 65001u}) {
    EXPECT_FALSE(kv::tool::legacyTextReader(codePage)) << codePage;
  }
  const std::string legacy = fileOf({line(at("2026-01-05"), at("2027-01-01"), 'D', "Caf\xE9")});
  for (const std::string& bytes : {legacy, kv::utf8FromWindows1252(legacy)}) {
    std::ostringstream out;
    EXPECT_EQ(kv::tool::writeCheck(bytes, "s.KV", at("2026-01-01"), nullptr, out), 0);
    EXPECT_EQ(out.str().find("s.KV:1: note: not UTF-8") == 0, bytes == legacy) << out.str();
  }
}

// A file that is no schedule writes nothing; an empty result is said why.
TEST(KvtoolNext, RefusesWhatIsNoScheduleAndSaysWhyThereAreNoStarts) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const std::string none = "no starts from 2026-01-05 08:00";
  const struct {
    std::string bytes;
    const char* until;
    std::string note;
  } cases[] = {
      {"Dear diary,\r\n2026 was 1 long year\r\n", "2026-02-01", "(no schedule)"},
      {"Version=2.0\r\n", "2026-02-01", "(no schedule)"},
      {"Dear diary,\r\n2026\r\n2026 \r\n", "2026-02-01", "(no schedule)"},
      {"", "2026-02-01", none + " (the schedule is empty)"},
      {"Version=3.0\r\n", "2026-02-01", none + " (the schedule is empty)"},
      {"Dear diary,\r\n1000000009 1999999999 D 1 C:\\A.EXE\r\n", "2026-02-01", ""},
      {fileOf({line(at("2025-01-01"), at("2025-06-01"), 'D', "over")}), "2026-02-01",
       none + ": a load then drops every entry"},
      {exampleSchedule(), "2026-01-05T08:00:00", none + " to 2026-01-05 08:00"},
      {exampleSchedule(), "2026-01-05T08:00:01", ""},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    const kv::tool::Written w =
        kv::tool::writeNext(c.bytes, {at("2026-01-05T08:00"), at(c.until)}, out);
    EXPECT_EQ(w.schedule ? w.note : "(no schedule)", c.note) << c.bytes;
    EXPECT_TRUE(w.schedule || out.str().empty()) << out.str();
  }
}

// The exit status, a blank, then what the check wrote.
std::string check(const std::string& bytes, Time now) {
  std::ostringstream out;
  const int status = kv::tool::writeCheck(bytes, "s.KV", now, nullptr, out);
  return std::to_string(status) + ' ' + out.str();
}

TEST(KvtoolCheck, PassesTheExampleUntilItsOneTimeEntryHasRun) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EXPECT_EQ(check(exampleSchedule(), at("2026-01-01")),
            "0 s.KV: 7 of 7 entries kept by a load; loads as it stands\n");
  EXPECT_EQ(check(exampleSchedule(), at("2031-07-01")),
            "1 s.KV:8: one-time entry in the past (2031-06-01 10:00): a load drops it\n"
            "s.KV: 6 of 7 entries kept by a load; a load would change or drop something (1)\n");
}

TEST(KvtoolCheck, ReportsWhatALoadWouldCutChangeOrDropByLine) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time now = at("2026-01-01");
  const std::string good = line(now + 3600, now + 86400, 'D', "fine");
  const std::string legacy = "1767300000 2082718859 D 1 C:\\WINDOWS\\NOTEPAD.EXE";
  std::string cut = line(now + 3600, now + 86400, 'D', std::string(kv::kMaxText, 'x'));
  cut += std::string(600 - cut.size(), 'y');
  std::string tabbed = good;
  tabbed.insert(tabbed.find("fine"), "\t");
  std::string noPrintFlag = good;
  noPrintFlag.erase(noPrintFlag.find(" p0"), 3);
  const std::string noDescription = good.substr(0, good.find(" dfine"));
  const struct {
    std::string bytes;
    const char* statusAndFinding;
  } cases[] = {
      {"Version=2.0\r\n" + legacy + "\r\n",
       "1 s.KV:1: header Version=2.0 is not Version=3.0: every line, this one too, is read as a "
       "legacy entry and converted\n"
       "s.KV:1: end 1970-01-01 00:00 has passed: a load drops the entry\n"},
      {legacy + "\r\n", "1 s.KV:1: no Version=3.0 header: a legacy file, converted on load\n"},
      {fileOf({good, cut}), "1 s.KV:3: line of 600 characters: a load keeps only its first 511\n"},
      {fileOf({good, good, tabbed}),
       "1 s.KV:4: byte 0x09 ends the line early: the rest is read as another line\n"
       "s.KV:4: its rest: damaged line (no byte 18 before a working directory): a load changes "
       "it\n"},
      {fileOf({noPrintFlag}), "1 s.KV:2: damaged line (no print flag): a load changes it\n"},
      {fileOf({noDescription}),
       "1 s.KV:2: damaged line (no description field): a load changes it\n"},
      {fileOf({"0" + good}),
       "1 s.KV:2: damaged line (fields not in the form kv.exe writes): a load changes it\n"},
      {fileOf({good, line(now - 86400, now - 1, 'D', "over")}),
       "1 s.KV:3: end 2025-12-31 23:59 has passed: a load drops the entry\n"},
      {fileOf({line(now + 60, now + 60, 'W', "once only")}),
       "0 s.KV:2: warning: start 2026-01-01 00:01 is not before its end 2026-01-01 00:01\n"},
      {fileOf({line(now - 3 * 86400, now + 86400, 'W', "ends first")}),
       "1 s.KV:2: next start 2026-01-05 00:00 lies after its end 2026-01-02 00:00: a load drops "
       "the entry\n"},
      {fileOf({line(now + 60, now + 86400, 'X', "odd")}),
       "0 s.KV:2: warning: unknown frequency code 'X': the entry starts once and leaves\n"},
  };
  for (const auto& c : cases) {
    const std::string run = check(c.bytes, now);
    EXPECT_EQ(run.rfind(c.statusAndFinding, 0), 0u) << run;
  }
}

// Missed starts: those that passed while the schedule was not loaded, with
// Run Missed Starts off and on.
const char kLoad[] = "2026-01-05T08:00";  // a Monday

// Entries behind a load at kLoad, and ones that are not.
struct Entries {
  std::string daily = line(at("2026-01-01T09:00"), at("2027-01-01"), 'D', "daily");
  std::string once = line(at("2026-01-04T10:00"), at("2026-02-01"), 'O', "once");
  std::string over = line(at("2026-01-03"), at("2026-01-04"), 'O', "over");
  // Its next start lies after its end.
  std::string weekly = line(at("2026-01-02T17:00"), at("2026-01-07"), 'W', "weekly");
  std::string noon = line(at("2026-01-05T12:00"), at("2027-01-01"), 'D', "noon");
  std::string odd = line(at("2026-01-02"), at("2027-01-01"), 'X', "odd");
};

std::string nextStarts(const std::string& bytes, Format format, MissedStarts missed) {
  std::ostringstream out;
  kv::tool::writeNext(bytes, {at(kLoad), at("2026-01-06T09:00"), std::nullopt, format, missed},
                      out);
  return out.str();
}

TEST(KvtoolNext, RunsEachMissedStartOnceAtTheLoadThenGoesOnAfterIt) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Entries e;
  // Each starts once at the load, in due order, then goes on at its first
  // start after the load, not one step after its missed start.
  EXPECT_EQ(nextStarts(fileOf({e.daily, e.once, e.over, e.weekly, e.noon}), Format::Tsv,
                       MissedStarts::RunOnce),
            "start\tfrequency\tdescription\tmissed\n"
            "2026-01-05T08:00:00\tDaily\tdaily\t2026-01-01T09:00:00\n"
            "2026-01-05T08:00:00\tWeekly\tweekly\t2026-01-02T17:00:00\n"
            "2026-01-05T08:00:00\tOnce\tonce\t2026-01-04T10:00:00\n"
            "2026-01-05T09:00:00\tDaily\tdaily\t\n"
            "2026-01-05T12:00:00\tDaily\tnoon\t\n"
            "2026-01-06T09:00:00\tDaily\tdaily\t\n");
  // A load keeps an entry of an unknown code under its start, whatever the
  // setting: the first due check starts it, a missed start all the same.
  EXPECT_EQ(
      nextStarts(fileOf({e.odd}), Format::Text, MissedStarts::Skip),
      "2026-01-05 08:00  Code X            odd  (missed start 2026-01-02 00:00, run at load)\n");
}

TEST(KvtoolCheck, NotesTheMissedStartsALoadRunsOnce) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Entries e;
  const std::string note = "0 s.KV:2: note: a load starts it once (missed start ";
  // The exit status, a blank, then the first line the check writes.
  const struct {
    MissedStarts missed;
    std::string entry, report;
  } cases[] = {
      // Off, a load runs no missed start but one of an unknown code.
      {MissedStarts::Skip, e.odd, note + "2026-01-02 00:00)\n"},
      // On, it keeps each missed start, to run it once, and the entry goes on
      // at its first start after the load, or leaves.
      {MissedStarts::RunOnce, e.daily, note + "2026-01-01 09:00), then at 2026-01-05 09:00\n"},
      {MissedStarts::RunOnce, e.once, note + "2026-01-04 10:00)\n"},
      {MissedStarts::RunOnce, e.over, "1 s.KV:2: one-time entry in the past (2026-01-03 00:00)"},
      {MissedStarts::RunOnce, e.weekly, note + "2026-01-02 17:00), its last start\n"},
      {MissedStarts::RunOnce, e.noon, "0 s.KV: 1 of 1 entry kept"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    const int status =
        kv::tool::writeCheck(fileOf({c.entry}), "s.KV", at(kLoad), c.missed, {}, nullptr, out);
    const std::string run = std::to_string(status) + ' ' + out.str();
    EXPECT_EQ(run.rfind(c.report, 0), 0u) << run;
  }
}

// The starts kv.exe dealt with already, as its record tells them, are no
// missed starts: next and check load as kv.exe would with the same record.
TEST(KvtoolNext, StartsKvExeDealtWithAreNoMissedStarts) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Entries e;
  const kv::HandledThrough handled = [](const kv::ScheduleEntry& entry) -> std::optional<Time> {
    if (entry.description == "daily") return at("2026-01-03T09:00");
    if (entry.description == "once") return at("2026-01-04T10:00");
    return std::nullopt;
  };
  std::ostringstream next;
  kv::tool::NextRequest request{at(kLoad), at("2026-01-06T09:00"), std::nullopt, Format::Tsv,
                                MissedStarts::RunOnce};
  request.handled = handled;
  kv::tool::writeNext(fileOf({e.daily, e.once, e.weekly}), request, next);
  EXPECT_EQ(next.str(),
            "start\tfrequency\tdescription\tmissed\n"
            "2026-01-05T08:00:00\tWeekly\tweekly\t2026-01-02T17:00:00\n"
            "2026-01-05T08:00:00\tDaily\tdaily\t2026-01-04T09:00:00\n"
            "2026-01-05T09:00:00\tDaily\tdaily\t\n"
            "2026-01-06T09:00:00\tDaily\tdaily\t\n");

  const struct {
    std::string entry, report;
  } checks[] = {
      {e.daily,
       "0 s.KV:2: note: kv.exe dealt with its starts up to 2026-01-03 09:00: none of them is a "
       "missed start\n"
       "s.KV:2: note: a load starts it once (missed start 2026-01-04 09:00), then at "
       "2026-01-05 09:00\n"},
      {e.once, "1 s.KV:2: one-time entry started already (2026-01-04 10:00): a load drops it\n"},
  };
  for (const auto& c : checks) {
    std::ostringstream out;
    const int status = kv::tool::writeCheck(fileOf({c.entry}), "s.KV", at(kLoad),
                                            MissedStarts::RunOnce, handled, nullptr, out);
    const std::string run = std::to_string(status) + ' ' + out.str();
    EXPECT_EQ(run.rfind(c.report, 0), 0u) << run;
  }
}

}  // namespace
