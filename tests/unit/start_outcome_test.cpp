// How every start ended: the outcome texts, a history's starts tied to
// their ends, and the watching of the programs started, with the rule that
// skips a start while the previous one still runs.
#include "engine/start_outcome.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/launch_history.h"
#include "engine/due_check.h"
#include "engine/history.h"
#include "fake_shell.h"
#include "fake_visible_list.h"
#include "time_zone.h"

namespace {

using kv::HistoryRecord;
using kv::OutcomeKind;
using kv::ProgramExit;
using kv::Time;

TEST(StartOutcome, EachOutcomeReadsAsWhatBecameOfTheStart) {
  const struct {
    ProgramExit exit;
    const char* text;
    bool attention;
  } exits[] = {
      {{0, 12}, "exited 0 after 12 s", false},
      {{1, 3}, "exited 1 after 3 s", true},
      {{3, 75}, "exited 3 after 1 min 15 s", true},
      {{0xBFFFFFFFu, 7261}, "exited 3221225471 after 2 h 1 min", true},
      {{0xC0000005u, 0}, "exited 0xC0000005 after 0 s", true},
      {{0xFFFFFFFFu, 59}, "exited 0xFFFFFFFF after 59 s", true},
  };
  for (const auto& e : exits) {
    EXPECT_EQ(kv::exitedText(e.exit), e.text);
    EXPECT_EQ(kv::outcomeKind(e.text), OutcomeKind::Exited) << e.text;
    EXPECT_EQ(kv::outcomeFailed(e.text), e.attention) << e.text;
    const auto back = kv::parseExitedText(e.text);
    ASSERT_TRUE(back) << e.text;
    EXPECT_EQ(back->exitCode, e.exit.exitCode);
    // A run of hours reads to the minute.
    EXPECT_EQ(back->seconds, e.exit.seconds < 3600 ? e.exit.seconds : e.exit.seconds / 60 * 60);
  }
  const struct {
    const char* outcome;
    OutcomeKind kind;
    bool attention;
  } others[] = {
      {"started", OutcomeKind::Started, false},
      {"running", OutcomeKind::Running, false},
      {"handed over", OutcomeKind::HandedOver, false},
      {"no longer watched", OutcomeKind::NoLongerWatched, false},
      {"skipped: still running since 2:00:01 AM", OutcomeKind::Skipped, false},
      {"File not found", OutcomeKind::Failed, true},
      // Not exits as Kivro writes them: a failure's text as far as anyone
      // can tell.
      {"exited 01 after 3 s", OutcomeKind::Failed, true},
      {"exited 0xc0000005 after 1 s", OutcomeKind::Failed, true},
      {"exited 3221225477 after 1 s", OutcomeKind::Failed, true},
      {"exited 1 after 3", OutcomeKind::Failed, true},
      {"exited 1 after 3 days", OutcomeKind::Failed, true},
  };
  for (const auto& o : others) {
    EXPECT_EQ(kv::outcomeKind(o.outcome), o.kind) << o.outcome;
    EXPECT_EQ(kv::outcomeFailed(o.outcome), o.attention) << o.outcome;
  }
}

HistoryRecord started(Time attempted, const std::string& description, const char* outcome) {
  HistoryRecord r;
  r.attempted = attempted;
  r.due = attempted;
  r.schedule = "C:\\day.KV";
  r.description = description;
  r.commandLine = "C:\\tools\\" + description + ".exe";
  r.result = 42;
  r.outcome = outcome;
  return r;
}

// Old histories hold starts alone; new ones a line for the start and one
// for its end, which a reader ties together, line for line in order.
TEST(StartOutcome, AHistoryReadsBackEachStartWithItsEnd) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const HistoryRecord old = started(100, "old", "started");
  const HistoryRecord first = started(200, "twice", "running");
  const HistoryRecord second = started(200, "twice", "running");
  const HistoryRecord running = started(300, "long", "running");
  const HistoryRecord handed = started(400, "doc", "handed over");
  const HistoryRecord lost = started(50, "rotated", "running");
  std::string bytes = std::string(kv::kHistoryHeader) + "\r\n";
  for (const HistoryRecord& r :
       {old, first, second, running, kv::endRecord(lost, "exited 0 after 9 s"),
        kv::endRecord(first, "exited 1 after 3 s"), handed,
        kv::endRecord(second, "exited 0xC0000005 after 1 s")}) {
    bytes += kv::historyLine(r) + "\r\n";
  }
  std::vector<std::string> shown;
  for (const kv::HistoryStart& s : kv::joinStartsAndEnds(kv::parseHistory(bytes))) {
    shown.push_back(s.start.description + ": " + s.outcome() + (s.needsAttention() ? " !" : ""));
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"old: started", "twice: exited 1 after 3 s !",
                                      "twice: exited 0xC0000005 after 1 s !", "long: still running",
                                      "rotated: exited 0 after 9 s", "doc: handed over"}));
}

// The platform's answers about the processes a test started.
struct FakeWatcher : kv::ProcessWatcher {
  std::map<kv::ProcessToken, ProgramExit> exits;  // those that have ended
  std::vector<kv::ProcessToken> released;
  std::optional<ProgramExit> exitOf(kv::ProcessToken process) override {
    const auto found = exits.find(process);
    if (found == exits.end()) return std::nullopt;
    return found->second;
  }
  void release(kv::ProcessToken process) override { released.push_back(process); }
};

struct Lines : kv::HistorySink {
  std::vector<std::string> outcomes;
  bool append(std::string_view line) override {
    outcomes.emplace_back(line.substr(line.rfind('\t') + 1));
    return true;
  }
};

// An Every Minute entry whose program runs 90 s: with the setting on, its
// start a minute later is skipped and recorded so; off, a second copy
// starts. Every end is recorded, and every process let go.
TEST(StartOutcome, AStartWhosePreviousOneStillRunsIsSkippedOnlyWithTheSettingOn) {
  KV_IN_TIME_ZONE(zone, "UTC");
  constexpr Time kStart = 1'700'000'000;
  for (const bool skip : {true, false}) {
    SCOPED_TRACE(skip ? "skip" : "no skip");
    kvtest::FakeVisibleList list;
    kv::ScheduleStore store(
        list, [](Time t, const std::string& d) { return std::to_string(t) + " " + d; });
    kv::ScheduleEntry entry;
    entry.start = kStart;
    entry.end = 4'000'000'000u;
    entry.frequency = 'M';
    entry.commandLine = "C:\\tools\\backup.exe";
    entry.description = "Backup";
    store.fileEntry(entry);
    kvtest::FakeShell shell;
    shell.startsProcesses = true;
    kvtest::FakeReporter reporter;
    FakeWatcher watcher;
    Lines lines;
    Time now = kStart;
    std::vector<std::string> told;
    {
      kv::LaunchHistory history(
          lines, [&] { return now; }, [] { return std::string("C:\\day.KV"); });
      history.watchWith(watcher);
      history.showTimesWith([](Time t) { return std::to_string(t); });
      history.onAttention([&](const HistoryRecord& r) { told.push_back(r.outcome); });

      kv::runDueCheck(store, shell, reporter, now, &history, skip);
      now = kStart + 60;
      kv::runDueCheck(store, shell, reporter, now, &history, skip);
      now = kStart + 90;
      watcher.exits[1] = ProgramExit{1, 90};
      history.checkEnds();
      EXPECT_EQ(kv::lastStartText(*history.lastStart(), "then", false),
                "Last: Backup at then: exited 1 after 1 min 30 s");
      now = kStart + 120;
      kv::runDueCheck(store, shell, reporter, now, &history, skip);
      EXPECT_EQ(history.watchedCount(), skip ? 1u : 2u);
    }  // Kivro ends: what still runs is no longer watched
    const std::vector<std::string> expected =
        skip ? std::vector<std::string>{"running", "skipped: still running since 1700000000",
                                        "exited 1 after 1 min 30 s", "running", "no longer watched"}
             : std::vector<std::string>{"running", "running",           "exited 1 after 1 min 30 s",
                                        "running", "no longer watched", "no longer watched"};
    EXPECT_EQ(lines.outcomes, expected);
    EXPECT_EQ(shell.calls.size(), skip ? 2u : 3u);
    EXPECT_EQ(told, std::vector<std::string>{"exited 1 after 1 min 30 s"});
    EXPECT_EQ(watcher.released.size(), shell.calls.size()) << "every process let go once";
    EXPECT_EQ(kv::leadingStart(store.line(0)), kStart + 180) << "each check files it on";
  }
}

}  // namespace
