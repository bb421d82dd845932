#include "engine/due_check.h"

#include <new>
#include <optional>
#include <string>

#include "engine/recurrence.h"

namespace kv {
namespace {

// The history of starts never stops one: a line it has no memory for is
// let go.
template <typename Record>
void recordIn(LaunchLog* log, const Record& record) {
  if (!log) return;
  try {
    record(*log);
  } catch (const std::bad_alloc&) {
  }
}

// Starts the entry; the log, or else the shell, takes the process.
unsigned launch(Shell& shell, const ScheduleEntry& entry, LaunchLog* log) {
  if (!log) return launchEntry(shell, entry);
  const ShellStart started = startEntry(shell, entry);
  recordIn(log, [&](LaunchLog& l) { l.launched(entry, started); });
  return started.result;
}

// Since when the entry's previous start has been running, when a start is
// to be skipped for it.
std::optional<Time> stillRunning(LaunchLog* log, bool skipWhileRunning,
                                 const ScheduleEntry& entry) {
  if (!log || !skipWhileRunning) return std::nullopt;
  try {
    return log->runningSince(entry);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace

int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime,
                LaunchLog* log, bool skipWhileRunning) {
  int launches = 0;
  // The start comparison comes first: it is all an idle tick costs. The
  // empty test matters only once the clock has passed kNeverDue (2038).
  while (checkTime >= store.firstDue().start && !store.empty()) {
    // Copies: the shell call and the failure report can run nested due
    // checks that change the store under us.
    const ScheduleEntry entry = store.firstDue();
    const EntryLine line(store.line(0));

    if (const std::optional<Time> since = stillRunning(log, skipWhileRunning, entry)) {
      recordIn(log, [&](LaunchLog& l) { l.skipped(entry, *since); });
      recordIn(log, [&](LaunchLog& l) { l.dealtWith(entry, checkTime); });
      store.refile(line, refileAfter(entry, checkTime));
      continue;
    }
    const unsigned result = launch(shell, entry, log);
    ++launches;
    // Recorded before the entry moves on, so that however Kivro ends from
    // here, a later load never takes this start for a missed one.
    recordIn(log, [&](LaunchLog& l) { l.dealtWith(entry, checkTime); });
    // Started once, however many of its occurrences the clock has passed
    // (a machine that slept, a stopped process), it goes on at its first
    // occurrence after the check. So does one whose start failed: its
    // program may well be there next time (a network drive not yet up at
    // night); a one-time entry leaves. The launched row is found by its
    // line: a due check nested in the shell call may have moved the store
    // on, or re-filed it already.
    store.refile(line, refileAfter(entry, checkTime));
    // The store is right before the report, since a tick during the report
    // runs a due check on it.
    if (isLaunchFailure(result)) reportLaunchFailure(reporter, result, entry);
  }
  return launches;
}

}  // namespace kv
