#include "engine/due_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_message_boxes.h"
#include "fake_shell.h"
#include "fake_visible_list.h"
#include "time_zone.h"

namespace {

using kv::ScheduleEntry;
using kv::Time;
using kvtest::FakeReporter;
using kvtest::FakeShell;

constexpr Time kCheck = 1705320030;  // 2024-01-15 12:00:30 UTC
constexpr Time kFarEnd = 2000000000;
constexpr Time kDay = 86400;

class DueCheckTest : public ::testing::Test {
 protected:
  kvtest::FakeVisibleList list;
  kv::ScheduleStore store{list, [](Time start, const std::string& description) {
                            return std::to_string(start) + " " + description;
                          }};
  FakeShell shell;
  FakeReporter reporter;

  void file(const std::string& commandLine, char frequency, Time start, Time end = kFarEnd) {
    ScheduleEntry e;
    e.commandLine = commandLine;
    e.frequency = frequency;
    e.start = start;
    e.end = end;
    e.description = commandLine;
    store.fileEntry(e);
  }

  int check(Time at = kCheck) { return kv::runDueCheck(store, shell, reporter, at); }

  std::vector<Time> starts() const {
    std::vector<Time> result;
    for (std::size_t row = 0; row < store.size(); ++row) {
      result.push_back(kv::leadingStart(store.line(row)));
    }
    return result;
  }

  // The visible list shows the store row for row, and the first-due entry
  // is the top row.
  void expectConsistent() const {
    ASSERT_EQ(list.rows.size(), store.size());
    for (std::size_t row = 0; row < store.size(); ++row) {
      EXPECT_EQ(list.rows[row], store.displayRow(store.line(row))) << row;
    }
    if (store.empty()) {
      EXPECT_EQ(store.firstDue().start, kv::kNeverDue);
    } else {
      EXPECT_EQ(store.firstDue(), kv::parseEntryLine(store.line(0)));
    }
  }
};

TEST_F(DueCheckTest, NothingDueLaunchesNothing) {
  EXPECT_EQ(check(), 0);
  file("LATER.EXE", 'D', kCheck + 1);
  EXPECT_EQ(check(), 0);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 1}));
}

TEST_F(DueCheckTest, AnEmptyStoreIsNeverDueEvenAfter2038) {
  EXPECT_EQ(check(kv::kNeverDue), 0);
  EXPECT_EQ(check(4000000000u), 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(DueCheckTest, EqualStartsLaunchInRowOrder) {
  file("B.EXE", 'O', kCheck - 10);
  file("A.EXE", 'O', kCheck - 10);
  file("C.EXE", 'O', kCheck - 20);
  std::vector<std::string> rowOrder;
  for (std::size_t row = 0; row < store.size(); ++row) {
    rowOrder.emplace_back(kv::programPart(kv::parseEntryLine(store.line(row)).commandLine));
  }
  EXPECT_EQ(check(), 3);
  EXPECT_EQ(shell.files(), rowOrder);
  EXPECT_EQ(shell.files(), (std::vector<std::string>{"C.EXE", "A.EXE", "B.EXE"}));
  EXPECT_TRUE(store.empty());
  expectConsistent();
}

// However many occurrences the clock has passed (sleep, a stopped process),
// each entry starts once and goes on at its first occurrence after the
// check; look-alike entries due in the same check each get their start.
TEST_F(DueCheckTest, AnEntryBehindStartsOnceThenWaitsForItsNextOccurrence) {
  KV_IN_TIME_ZONE(zone, "UTC");
  struct Case {
    std::vector<std::pair<char, Time>> entries;  // frequency, start
    std::vector<Time> startsAfter;
  } const cases[] = {
      {{{'D', kCheck - 3 * kDay - 3600}}, {kCheck + 23 * 3600}},
      {{{'H', kCheck - kDay - 1800}, {'H', kCheck - kDay - 900}}, {kCheck + 1800, kCheck + 2700}},
      {{{'M', kCheck - 7 * kDay - 20}, {'O', kCheck - 30}}, {kCheck + 40}},
  };
  for (const Case& c : cases) {
    store.clear();
    for (const auto& [frequency, start] : c.entries) file("ENTRY.EXE", frequency, start);
    EXPECT_EQ(check(), static_cast<int>(c.entries.size())) << c.entries[0].first;
    EXPECT_EQ(starts(), c.startsAfter) << c.entries[0].first;
    expectConsistent();
  }
  // The next tick finds nothing; the one at the next minute starts it again.
  EXPECT_EQ(check(kCheck + 39), 0);
  EXPECT_EQ(check(kCheck + 40), 1);
}

// A day-based entry woken after days keeps its clock time across a change
// of the clocks; an hourly one keeps its elapsed step.
TEST_F(DueCheckTest, AnEntryBehindAcrossAChangeOfTheClocksKeepsItsTime) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  // 09:00 CET on Friday 2024-03-29; the clocks go forward early on the 31st.
  const Time friday = 1711699200;
  file("DAILY.EXE", 'D', friday);
  file("HOURLY.EXE", 'H', friday + 1800);
  const Time tuesdayNoon = friday + 4 * kDay + 3 * 3600 - 3600;  // 12:00 CEST, 2024-04-02
  EXPECT_EQ(check(tuesdayNoon), 2);
  // Daily: 09:00 CEST on Wednesday; hourly: 12:30 CEST on Tuesday.
  EXPECT_EQ(starts(), (std::vector<Time>{tuesdayNoon + 1800, tuesdayNoon + kDay - 3 * 3600}));
}

TEST_F(DueCheckTest, ARecurringEntryEndsWhenItsNextStartPassesItsEnd) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time start = kCheck - 3 * kDay;
  file("ENDING.EXE", 'D', start, start + 2 * kDay);
  EXPECT_EQ(check(), 1);
  EXPECT_TRUE(store.empty());
  file("AT.EXE", 'D', kCheck - kDay, kCheck + kDay);  // its next start is its end
  EXPECT_EQ(check(), 1);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + kDay}));
  expectConsistent();
}

// A repeating entry whose start fails stays, filed under its next start
// before the report shows; a one-time one leaves. Both are reported, the
// next due entry still runs, and every attempt goes to the log.
TEST_F(DueCheckTest, AFailedRepeatingEntryStaysAndAFailedOneTimeEntryLeaves) {
  struct Log : kv::LaunchLog {
    std::vector<std::pair<std::string, unsigned>> attempts;
    std::vector<std::pair<std::string, Time>> dealt;
    void launched(const ScheduleEntry& e, const kv::ShellStart& start) override {
      attempts.emplace_back(e.commandLine, start.result);
    }
    void dealtWith(const ScheduleEntry& e, Time through) override {
      dealt.emplace_back(e.commandLine, through);
    }
    std::optional<Time> runningSince(const ScheduleEntry&) override { return std::nullopt; }
    void skipped(const ScheduleEntry&, Time) override {}
  } log;
  shell.resultFor["FAIL.EXE"] = 2;
  shell.resultFor["A.DOC"] = 31;
  file("FAIL.EXE", 'D', kCheck - 3);
  file("A.DOC", 'O', kCheck - 2);
  file("OK.EXE", 'O', kCheck - 1);
  reporter.whileShown = [&](const FakeReporter::Report&) {
    EXPECT_NE(store.firstDue().commandLine, log.attempts.back().first);  // gone from the top
    expectConsistent();
  };
  EXPECT_EQ(kv::runDueCheck(store, shell, reporter, kCheck, &log), 3);
  EXPECT_EQ(log.attempts, (std::vector<std::pair<std::string, unsigned>>{
                              {"FAIL.EXE", 2}, {"A.DOC", 31}, {"OK.EXE", 42}}));
  // Failed or not, each start is dealt with up to the check, never just
  // up to its own start: those it passed over are not missed ones.
  EXPECT_EQ(log.dealt, (std::vector<std::pair<std::string, Time>>{
                           {"FAIL.EXE", kCheck}, {"A.DOC", kCheck}, {"OK.EXE", kCheck}}));
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[0].text, "File not found");
  EXPECT_EQ(reporter.reports[0].caption, "Error");
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck - 3 + kDay}));
  expectConsistent();
}

// However often an entry fails while its box is open, one box shows.
TEST_F(DueCheckTest, OneFailureBoxIsOpenAtATime) {
  kvtest::FakeMessageBoxes boxes;
  kv::BoxFailureReporter boxReporter(boxes);
  shell.resultFor["FAIL.EXE"] = 2;
  file("FAIL.EXE", 'M', kCheck);
  int nestedChecks = 0;
  boxes.whileShown = [&](const kv::BoxRequest&) {
    for (Time minute : {1u, 2u, 3u}) {
      nestedChecks += kv::runDueCheck(store, shell, boxReporter, kCheck + minute * 60);
    }
  };
  EXPECT_EQ(kv::runDueCheck(store, shell, boxReporter, kCheck), 1);
  EXPECT_EQ(nestedChecks, 3);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 240}));
}

TEST_F(DueCheckTest, ADueCheckInsideTheReportDoesNoHarm) {
  shell.resultFor["FAIL.EXE"] = 2;
  file("FAIL.EXE", 'O', kCheck - 3);
  file("OK.EXE", 'O', kCheck - 2);
  file("DAILY.EXE", 'D', kCheck - 1);
  int nested = 0;
  reporter.whileShown = [&](const FakeReporter::Report&) {
    nested = kv::runDueCheck(store, shell, reporter, kCheck);
  };
  EXPECT_EQ(check(), 1);
  EXPECT_EQ(nested, 2);
  EXPECT_EQ(shell.files(), (std::vector<std::string>{"FAIL.EXE", "OK.EXE", "DAILY.EXE"}));
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck - 1 + kDay}));
  expectConsistent();
}

TEST_F(DueCheckTest, ADueCheckInsideTheShellCallDropsNoOtherEntry) {
  file("DAILY.EXE", 'D', kCheck - 5);
  file("LATER.EXE", 'O', kCheck + 1000);
  bool nestedOnce = false;
  shell.duringExecute = [&](const FakeShell::Call&) {
    if (nestedOnce) return;
    nestedOnce = true;
    kv::runDueCheck(store, shell, reporter, kCheck);
  };
  check();
  // The nested check launched the entry again (it was still filed) and
  // re-filed it; the outer one must neither drop LATER.EXE nor file DAILY
  // a second time.
  EXPECT_EQ(shell.files(), (std::vector<std::string>{"DAILY.EXE", "DAILY.EXE"}));
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 1000, kCheck - 5 + kDay}));
  expectConsistent();
}

}  // namespace
