#include "engine/due_check.h"

#include <optional>
#include <string>

#include "engine/recurrence.h"

namespace kv {
namespace {

// Takes the launched entry's line out of the store: row 0, unless a due
// check nested in the shell call has already moved the store on. Removing
// row 0 regardless would then drop an entry that was never launched.
// False when the line is gone (that nested check has re-filed it already).
bool removeLaunchedRow(ScheduleStore& store, const EntryLine& launched) {
  for (std::size_t row = 0; row < store.size(); ++row) {
    if (store.line(row) == launched) {
      store.removeRow(static_cast<int>(row));
      return true;
    }
  }
  return false;
}

}  // namespace

int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime,
                LaunchLog* log) {
  int launches = 0;
  // The start comparison comes first: it is all an idle tick costs. The
  // empty test matters only once the clock has passed kNeverDue (2038).
  while (checkTime >= store.firstDue().start && !store.empty()) {
    // Copies: the shell call and the failure report can run nested due
    // checks that change the store under us.
    const ScheduleEntry entry = store.firstDue();
    const EntryLine line = store.line(0);

    const unsigned result = launchEntry(shell, entry);
    ++launches;
    if (log) log->launched(entry, result);
    // Started once, however many of its occurrences the clock has passed
    // (a machine that slept, a stopped process), it goes on at its first
    // occurrence after the check. So does one whose start failed: its
    // program may well be there next time (a network drive not yet up at
    // night); a one-time entry leaves.
    if (removeLaunchedRow(store, line)) {
      if (const std::optional<ScheduleEntry> next = refileAfter(entry, checkTime)) {
        store.fileEntry(*next);
      }
    }
    // The store is put right before the report, since a tick during the
    // report runs a due check on it.
    store.reloadFirstDue();
    if (isLaunchFailure(result)) reportLaunchFailure(reporter, result, entry);
  }
  return launches;
}

}  // namespace kv
