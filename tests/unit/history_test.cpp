// The history of starts: its line format both ways, and what the program
// keeps of it for the status bar and the History window.
#include "engine/history.h"

#include <gtest/gtest.h>

#include <string>

#include "app/launch_history.h"
#include "time_zone.h"

namespace {

using kv::HistoryRecord;

// A record whose description, command line and outcome are all `text`.
HistoryRecord record(const std::string& text) {
  HistoryRecord r;
  r.attempted = 1765242001;  // 2025-12-09 01:00:01 UTC
  r.due = 1765242000;
  r.schedule = "C:\\My Files\\day.KV";
  r.description = r.commandLine = r.outcome = text;
  r.workingDirectory = "C:\\x";
  r.print = true;
  r.showCommand = 7;
  r.result = 2;
  return r;
}

// Texts come back as they went out, whatever bytes they hold; each record
// stays one line, and the line of the record read back is the same line.
TEST(HistoryLine, EveryTextReadsBackAsWrittenOnOneLine) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  struct Case {
    std::string text;
    std::string written;  // as the line holds it
  } const cases[] = {
      {"Back up", "Back up"},
      {"a\tb\r\nc", "a\\x09b\\x0D\\x0Ac"},
      {"C:\\xfer\\x", "C:\\x5Cxfer\\x5Cx"},  // a backslash before x
      {"C:\\tools\\", "C:\\tools\\"},
      {std::string("\x01\x12\x7f", 3), "\\x01\\x12\\x7F"},
      {"Caf\xc3\xa9", "Caf\xc3\xa9"},
  };
  for (const Case& c : cases) {
    const std::string line = kv::historyLine(record(c.text));
    EXPECT_NE(line.find("\t" + c.written + "\t"), std::string::npos) << line;
    const auto out = kv::parseHistoryLine(line);
    ASSERT_TRUE(out.has_value()) << line;
    EXPECT_EQ(out->description, c.text);
    EXPECT_EQ(kv::historyLine(*out), line);
  }
  EXPECT_EQ(kv::historyLine(record("a")).substr(0, 51),
            "2025-12-09T02:00:01+01:00\t2025-12-09T02:00:00+01:00");
}

TEST(HistoryLine, TheHeaderAndDamagedLinesAreNoRecords) {
  KV_IN_TIME_ZONE(zone, "America/New_York");
  const std::string good = kv::historyLine(record("started"));
  const std::string damaged[] = {
      std::string(kv::kHistoryHeader),
      "",
      good.substr(0, good.size() / 2),
      good + "\textra",
      "2025-13-99T99:00:01+01:00" + good.substr(25),
      good.substr(0, good.rfind("print")) + "fax" + good.substr(good.rfind("print") + 5)};
  for (const std::string& line : damaged) EXPECT_FALSE(kv::parseHistoryLine(line)) << line;
  const std::string file = std::string(kv::kHistoryHeader) + "\r\n" + good + "\r\n" + damaged[2] +
                           "\r\n" + good + "\r\n";
  EXPECT_EQ(kv::parseHistory(file).size(), 2u);
  EXPECT_EQ(kv::parseIsoTimeWithOffset("2025-12-09T01:00:00-05:00"), 1765260000u);
}

struct Sink : kv::HistorySink {
  bool writable = true;
  int appended = 0;
  bool append(std::string_view) override { return writable && ++appended; }
};

TEST(LaunchHistory, RecordsEveryAttemptAndRemembersWhatTheWindowShows) {
  KV_IN_TIME_ZONE(zone, "UTC");
  Sink sink;
  kv::Time now = 1765242001;
  kv::LaunchHistory history(
      sink, [&] { return now; }, [] { return "C:\\day.KV"; });
  kv::ScheduleEntry entry;
  entry.commandLine = "C:\\tools\\gone.exe /x";
  entry.description = "Night job";
  history.launched(entry, kv::ShellStart{2});
  EXPECT_EQ(kv::lastStartText(*history.lastStart(), "12/09/25 01:00am", history.failureUnseen()),
            "Last: Night job at 12/09/25 01:00am: failed, File not found");

  // A failure while the window is hidden stays marked until History opens.
  history.setWindowHidden(true);
  history.launched(entry, kv::ShellStart{2});
  history.launched(entry, kv::ShellStart{42});
  EXPECT_EQ(kv::lastStartText(*history.lastStart(), "then", history.failureUnseen()),
            "Last: Night job at then: handed over (see History)");
  history.historySeen();
  EXPECT_FALSE(history.failureUnseen());

  // A history that cannot be written says since when; the next line that
  // goes in ends that.
  sink.writable = false;
  history.launched(entry, kv::ShellStart{42});
  now += 60;
  history.launched(entry, kv::ShellStart{42});
  EXPECT_EQ(history.unwritableSince(), 1765242001u);
  sink.writable = true;
  history.launched(entry, kv::ShellStart{42});
  EXPECT_FALSE(history.unwritableSince().has_value());
  EXPECT_EQ(sink.appended, 4);
}

// After a load the status bar shows the newest start the history holds for
// the schedule now open, named in any letter case; none for another one.
TEST(LaunchHistory, RecallsTheLastStartOfTheScheduleNowOpen) {
  KV_IN_TIME_ZONE(zone, "UTC");
  std::string bytes = std::string(kv::kHistoryHeader) + "\r\n";
  for (const std::string schedule : {"day", "night"}) {
    for (const std::string age : {"older", "newer"}) {
      HistoryRecord r = record(schedule + " " + age);
      r.schedule = "C:\\" + schedule + ".KV";
      r.outcome = kv::kStartedOutcome;
      bytes += kv::historyLine(r) + "\r\n";
    }
  }
  const struct {
    std::string open;
    std::optional<std::string> last;
  } cases[] = {
      {"c:\\DAY.kv", "day newer"},
      {"C:\\night.KV", "night newer"},
      {"C:\\other.KV", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    Sink sink;
    kv::LaunchHistory history(
        sink, [] { return kv::Time{0}; }, [&] { return c.open; });
    history.launched(kv::ScheduleEntry{}, kv::ShellStart{42});  // a start from before the load
    history.recallLastStart(bytes);
    const auto& last = history.lastStart();
    EXPECT_EQ(last ? std::optional<std::string>(last->description) : std::nullopt, c.last)
        << c.open;
  }
}

// Each line recorded, a start and its end, is told as the file reads it
// back, the schedule's name included, so that the Details view finds the
// entry it belongs to.
TEST(LaunchHistory, TellsEachLineRecordedAsTheFileReadsItBack) {
  KV_IN_TIME_ZONE(zone, "UTC");
  struct Lines : kv::HistorySink {
    std::vector<std::string> lines;
    bool append(std::string_view line) override {
      lines.emplace_back(line);
      return true;
    }
  } sink;
  struct Watcher : kv::ProcessWatcher {
    std::optional<kv::ProgramExit> exit;
    std::optional<kv::ProgramExit> exitOf(kv::ProcessToken) override { return exit; }
    void release(kv::ProcessToken) override {}
  } watcher;
  kv::LaunchHistory history(
      sink, [] { return kv::Time{1765242001}; }, [] { return "C:\\Caf\xc3\xa9.KV"; });
  history.watchWith(watcher);
  std::vector<HistoryRecord> told;
  history.onRecorded([&told](const HistoryRecord& r) { told.push_back(r); });
  kv::ScheduleEntry entry;
  entry.commandLine = "C:\\caf\xc3\xa9\\run.exe";
  entry.workingDirectory = "C:\\caf\xc3\xa9";
  entry.description = "Caf\xc3\xa9";
  history.launched(entry, kv::ShellStart{42, 7});
  watcher.exit = kv::ProgramExit{1, 3};
  history.checkEnds();
  ASSERT_EQ(told.size(), 2u);
  ASSERT_EQ(sink.lines.size(), 2u);
  for (std::size_t i = 0; i < told.size(); ++i) {
    EXPECT_EQ(kv::historyLine(told[i]), sink.lines[i]);
    EXPECT_EQ(told[i].commandLine, "C:\\caf\xc3\xa9\\run.exe");
  }
  EXPECT_EQ(told[1].outcome, "exited 1 after 3 s");
  EXPECT_EQ(told[1].schedule, "C:\\Caf\xc3\xa9.KV");
  EXPECT_EQ(history.lastStart()->workingDirectory, "C:\\caf\xc3\xa9");
}

}  // namespace
