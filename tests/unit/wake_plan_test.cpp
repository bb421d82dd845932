// Waking the computer for the first-due entry, over the schedule's changes,
// and keeping it awake while what Kivro started runs.
#include "app/wake_plan.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/due_check.h"
#include "fake_shell.h"
#include "fake_visible_list.h"

namespace {

using kv::Time;

constexpr Time kT = 1'700'000'000;

struct FakeWakeTimer : kv::WakeTimer {
  int arms = 0;
  std::optional<Time> armed;
  bool canWake = true;
  bool arm(Time at) override {
    ++arms;
    armed = at;
    return canWake;
  }
  void cancel() override { armed.reset(); }
};

kv::ScheduleEntry entryAt(Time start, const std::string& description) {
  kv::ScheduleEntry e;
  e.start = start;
  e.end = 4'000'000'000u;
  e.frequency = 'D';
  e.commandLine = "C:\\tools\\" + description + ".exe";
  e.description = description;
  return e;
}

TEST(WakePlan, TheTimerFollowsTheFirstDueEntryThroughEveryChange) {
  kvtest::FakeVisibleList list;
  kv::ScheduleStore store(list,
                          [](Time t, const std::string& d) { return std::to_string(t) + " " + d; });
  kvtest::FakeShell shell;
  kvtest::FakeReporter reporter;
  FakeWakeTimer timer;
  kv::WakePlan plan(timer);
  bool on = true;
  const struct {
    const char* what;
    std::function<void()> change;
    std::optional<Time> armed;
    int arms;  // the timer set this many times in all
  } steps[] = {
      {"a later entry filed", [&] { store.fileEntry(entryAt(kT + 300, "later")); }, kT + 300, 1},
      {"an earlier one filed", [&] { store.fileEntry(entryAt(kT + 100, "first")); }, kT + 100, 2},
      {"nothing changed", [] {}, kT + 100, 2},
      {"the first-due one deleted", [&] { store.removeRow(0); }, kT + 300, 3},
      {"the due check files it again", [&] { kv::runDueCheck(store, shell, reporter, kT + 300); },
       kT + 300 + 86400, 4},
      {"the setting turned off", [&] { on = false; }, std::nullopt, 4},
      {"and on again", [&] { on = true; }, kT + 300 + 86400, 5},
      {"the schedule emptied", [&] { store.clear(); }, std::nullopt, 5},
  };
  for (const auto& step : steps) {
    step.change();
    const std::optional<Time> first =
        store.empty() ? std::nullopt : std::optional<Time>(store.firstDue().start);
    EXPECT_EQ(plan.follow(on, first), kv::WakePlan::Tell::Nothing) << step.what;
    EXPECT_EQ(timer.armed, step.armed) << step.what;
    EXPECT_EQ(plan.armedFor(), step.armed) << step.what;
    EXPECT_EQ(timer.arms, step.arms) << step.what;
  }
}

TEST(WakePlan, AComputerThatCannotWakeIsToldOfOnce) {
  FakeWakeTimer timer;
  timer.canWake = false;
  kv::WakePlan plan(timer);
  EXPECT_EQ(plan.follow(true, kT), kv::WakePlan::Tell::CannotWake);
  EXPECT_EQ(plan.follow(true, kT + 60), kv::WakePlan::Tell::Nothing);
  EXPECT_EQ(timer.armed, kT + 60) << "it still fires while the computer is awake";
}

TEST(AwakeRule, KeepsAwakeWhileProgramsRunForFourHoursAtMost) {
  constexpr Time kHour = 3600;
  kv::AwakeRule rule;
  const struct {
    bool on, running;
    Time now;
    bool awake;
  } steps[] = {
      {true, false, kT, false},                  // nothing runs
      {true, true, kT, true},                    // a program started
      {true, true, kT + 4 * kHour - 1, true},    // still within four hours
      {true, true, kT + 4 * kHour, false},       // four hours: let go
      {true, true, kT + 5 * kHour, false},       // and stays let go while they run
      {true, false, kT + 5 * kHour, false},      // the last one ended
      {true, true, kT + 6 * kHour, true},        // a new run keeps it awake again
      {false, true, kT + 6 * kHour + 1, false},  // the setting off
      {true, true, kT + 6 * kHour + 2, true},    // on again: the same run
      {true, true, kT + 10 * kHour, false},      // its four hours are up
      {true, false, kT, false},                  // clock set back, nothing runs
      {true, true, kT - kHour, true},            // a run after the clock went back
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const auto& s = steps[i];
    EXPECT_EQ(rule.keepAwake(s.on, s.running, s.now), s.awake) << "step " << i;
  }
}

}  // namespace
