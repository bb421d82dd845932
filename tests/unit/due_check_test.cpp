#include "engine/due_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    store.reloadFirstDue();
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

TEST_F(DueCheckTest, ADailyEntryRunsEveryMissedDayThenWaits) {
  KV_IN_TIME_ZONE(zone, "UTC");
  file("DAILY.EXE", 'D', kCheck - 3 * kDay - 3600);
  EXPECT_EQ(check(), 4);
  EXPECT_EQ(shell.calls.size(), 4u);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 23 * 3600}));
  expectConsistent();
}

TEST_F(DueCheckTest, ARecurringEntryEndsWhenItsNextStartPassesItsEnd) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const Time start = kCheck - 3 * kDay;
  file("ENDING.EXE", 'D', start, start + 2 * kDay);
  EXPECT_EQ(check(), 3);  // the third launch is at its end time
  EXPECT_TRUE(store.empty());
  expectConsistent();
}

TEST_F(DueCheckTest, AnEntryFarBehindIsLaunchedTenTimesThenMovedPastTheCheck) {
  file("MINUTE.EXE", 'M', kCheck - 7 * kDay - 20);
  file("OTHER.EXE", 'O', kCheck - 30);
  EXPECT_EQ(check(), kv::kMaxLaunchesPerCheck + 1);
  // Its missed minutes all come before OTHER.EXE; the limit lets that run.
  std::vector<std::string> expected(kv::kMaxLaunchesPerCheck, "MINUTE.EXE");
  expected.push_back("OTHER.EXE");
  EXPECT_EQ(shell.files(), expected);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 40}));
  expectConsistent();
  // The next tick finds nothing; the one after the next minute starts it again.
  EXPECT_EQ(check(kCheck + 39), 0);
  EXPECT_EQ(check(kCheck + 40), 1);
}

TEST_F(DueCheckTest, TheLaunchLimitCountsEachEntryOnItsOwn) {
  file("ONE.EXE", 'M', kCheck - kDay - 30);
  file("TWO.EXE", 'M', kCheck - kDay - 29);
  EXPECT_EQ(check(), 2 * kv::kMaxLaunchesPerCheck);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 30, kCheck + 31}));
  expectConsistent();
}

TEST_F(DueCheckTest, LookAlikeEntriesEachGetTheirOwnLaunches) {
  // Alike but for their starts, both a day behind.
  file("HOURLY.EXE", 'H', kCheck - kDay - 1800);
  file("HOURLY.EXE", 'H', kCheck - kDay - 900);
  EXPECT_EQ(check(), 2 * kv::kMaxLaunchesPerCheck);
  EXPECT_EQ(starts(), (std::vector<Time>{kCheck + 1800, kCheck + 2700}));
  expectConsistent();
}

TEST_F(DueCheckTest, AFailedEntryLeavesBeforeTheReportAndTheNextStillRuns) {
  shell.resultFor["FAIL.EXE"] = 2;
  file("FAIL.EXE", 'D', kCheck - 2);
  file("OK.EXE", 'O', kCheck - 1);
  reporter.whileShown = [&](const FakeReporter::Report&) {
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.firstDue().commandLine, "OK.EXE");
    EXPECT_EQ(shell.calls.size(), 1u);
    expectConsistent();
  };
  EXPECT_EQ(check(), 2);
  EXPECT_EQ(shell.files(), (std::vector<std::string>{"FAIL.EXE", "OK.EXE"}));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text, "File not found");
  EXPECT_EQ(reporter.reports[0].caption, "Error");
  // The failed Daily entry is gone for good.
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(check(kCheck + 10 * kDay), 0);
  expectConsistent();
}

TEST_F(DueCheckTest, TwoFailuresGiveTwoReports) {
  shell.resultFor["A.DOC"] = 31;
  file("A.DOC", 'O', kCheck - 2);
  ScheduleEntry print;
  print.commandLine = "CALC.EXE";
  print.printFlag = '1';
  print.start = kCheck - 1;
  print.end = kFarEnd;
  print.frequency = 'W';
  store.fileEntry(print);
  store.reloadFirstDue();
  EXPECT_EQ(check(), 2);
  EXPECT_EQ(shell.files(), (std::vector<std::string>{"A.DOC"}));
  ASSERT_EQ(reporter.reports.size(), 2u);
  EXPECT_EQ(reporter.reports[1].text,
            "Error printing CALC.EXE. You cannot print an executable file.");
  EXPECT_EQ(reporter.reports[1].caption, "Unable to Print");
  EXPECT_TRUE(store.empty());
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
