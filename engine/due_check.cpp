#include "engine/due_check.h"

#include <map>
#include <optional>
#include <string>

#include "engine/recurrence.h"

namespace kv {
namespace {

// What stays the same when an entry is re-filed: its line without the start.
std::string identityOf(const ScheduleEntry& entry) {
  const EntryLine line = composeEntryLine(entry);
  return line.substr(line.find(' ') + 1);
}

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

// The entry's next filing after its launch number `launchCount` in this
// check: one step on, or, once it has had its share of launches, straight
// to its first occurrence after the check time.
std::optional<ScheduleEntry> refiled(const ScheduleEntry& launched, int launchCount,
                                     Time checkTime) {
  if (launchCount >= kMaxLaunchesPerCheck) return refileAfter(launched, checkTime);
  return refileAfterLaunch(launched);
}

}  // namespace

int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime) {
  int launches = 0;
  std::map<std::string, int> launchesPerEntry;
  // The start comparison comes first: it is all an idle tick costs. The
  // empty test matters only once the clock has passed kNeverDue (2038).
  while (checkTime >= store.firstDue().start && !store.empty()) {
    // Copies: the shell call and the failure report can run nested due
    // checks that change the store under us.
    const ScheduleEntry entry = store.firstDue();
    const EntryLine line = store.line(0);

    const unsigned result = launchEntry(shell, entry);
    ++launches;
    const bool stillFiled = removeLaunchedRow(store, line);

    if (isLaunchFailure(result)) {
      // A failed entry leaves for good. The store is put right before the
      // report, since a tick during the report runs a due check on it.
      store.reloadFirstDue();
      reportLaunchFailure(reporter, result, entry);
      continue;
    }

    if (stillFiled) {
      const int launchCount = ++launchesPerEntry[identityOf(entry)];
      if (const std::optional<ScheduleEntry> next = refiled(entry, launchCount, checkTime)) {
        store.fileEntry(*next);
      }
    }
    store.reloadFirstDue();
  }
  return launches;
}

}  // namespace kv
