// The history of starts: its line format both ways, and what the program
// keeps of it for the status bar and the History window.
#include "engine/history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launch_history.h"
#include "time_zone.h"

namespace {

using kv::HistoryRecord;

std::string asIs(std::string_view text) {
  return std::string(text);
}

HistoryRecord record(std::string description, std::string command, std::string outcome) {
  HistoryRecord r;
  r.attempted = 1765242001;  // 2025-12-09 01:00:01 UTC
  r.due = 1765242000;
  r.schedule = "C:\\My Files\\day.KV";
  r.description = std::move(description);
  r.commandLine = std::move(command);
  r.workingDirectory = "C:\\x";
  r.print = true;
  r.showCommand = 7;
  r.result = 2;
  r.outcome = std::move(outcome);
  return r;
}

// Texts come back as they went out, whatever bytes they hold; each record
// stays one line.
TEST(HistoryLine, EveryTextReadsBackAsWrittenOnOneLine) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  struct Case {
    const char* what;
    std::string text;
    std::string written;  // the description as the line holds it
  } const cases[] = {
      {"plain", "Back up", "Back up"},
      {"tab and line ends", "a\tb\r\nc", "a\\x09b\\x0D\\x0Ac"},
      {"a backslash before x", "C:\\xfer\\x", "C:\\x5Cxfer\\x5Cx"},
      {"other backslashes", "C:\\tools\\", "C:\\tools\\"},
      {"control bytes", std::string("\x01\x12\x7f", 3), "\\x01\\x12\\x7F"},
      {"letters beyond ASCII", "Caf\xc3\xa9", "Caf\xc3\xa9"},
  };
  for (const Case& c : cases) {
    const HistoryRecord in = record(c.text, c.text, c.text);
    const std::string line = kv::historyLine(in, asIs);
    EXPECT_EQ(line.find('\n'), std::string::npos) << c.what;
    EXPECT_NE(line.find("\t" + c.written + "\t"), std::string::npos) << c.what << ": " << line;
    const auto out = kv::parseHistoryLine(line);
    ASSERT_TRUE(out.has_value()) << c.what;
    EXPECT_EQ(out->description, c.text) << c.what;
    EXPECT_EQ(out->commandLine, c.text) << c.what;
    EXPECT_EQ(out->outcome, c.text) << c.what;
    EXPECT_EQ(out->attempted, in.attempted);
    EXPECT_EQ(out->due, in.due);
    EXPECT_EQ(out->schedule, in.schedule);
    EXPECT_TRUE(out->print);
    EXPECT_EQ(out->showCommand, 7);
    EXPECT_EQ(out->result, 2u);
  }
  EXPECT_EQ(kv::historyLine(record("a", "b", "c"), asIs).substr(0, 51),
            "2025-12-09T02:00:01+01:00\t2025-12-09T02:00:00+01:00");
}

TEST(HistoryLine, TheHeaderAndDamagedLinesAreNoRecords) {
  KV_IN_TIME_ZONE(zone, "America/New_York");
  const std::string good = kv::historyLine(record("a", "b", "started"), asIs);
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

class Sink : public kv::HistorySink {
 public:
  bool writable = true;
  std::vector<std::string> lines;
  bool append(std::string_view line) override {
    if (writable) lines.emplace_back(line);
    return writable;
  }
};

TEST(LaunchHistory, RecordsEveryAttemptAndRemembersWhatTheWindowShows) {
  KV_IN_TIME_ZONE(zone, "UTC");
  Sink sink;
  kv::Time now = 1765242001;
  kv::LaunchHistory history(
      sink, asIs, [&] { return now; }, [] { return "C:\\day.KV"; });
  kv::ScheduleEntry entry;
  entry.commandLine = "C:\\tools\\gone.exe /x";
  entry.description = "Night job";
  history.launched(entry, 2);
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(kv::parseHistoryLine(sink.lines[0])->outcome, "File not found");
  EXPECT_EQ(kv::lastStartText(*history.lastStart(), "12/09/25 01:00am", history.failureUnseen()),
            "Last: Night job at 12/09/25 01:00am: failed, File not found");

  // A failure while the window is hidden stays marked until History opens.
  history.setWindowHidden(true);
  history.launched(entry, 2);
  history.launched(entry, 42);
  EXPECT_TRUE(history.failureUnseen());
  EXPECT_EQ(kv::lastStartText(*history.lastStart(), "then", true),
            "Last: Night job at then: started (see History)");
  history.historySeen();
  EXPECT_FALSE(history.failureUnseen());

  // A history that cannot be written says since when; the next line that
  // goes in ends that.
  sink.writable = false;
  history.launched(entry, 42);
  now += 60;
  history.launched(entry, 42);
  EXPECT_EQ(history.unwritableSince(), 1765242001u);
  sink.writable = true;
  history.launched(entry, 42);
  EXPECT_FALSE(history.unwritableSince().has_value());
}

}  // namespace
