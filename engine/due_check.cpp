#include "engine/due_check.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "engine/recurrence.h"

namespace kv {
namespace {

// The launches each entry has had in this check, filed under the line the
// entry stands in the store as. Equal lines are entries alike in every
// respect, their start included: each keeps its own count all the same.
class LaunchCounts {
 public:
  // The count of the entry launched from `line`, this launch included.
  int launched(const EntryLine& line) {
    int count = 0;
    if (const auto found = counts_.find(line); found != counts_.end()) {
      count = found->second;
      counts_.erase(found);
    }
    return count + 1;
  }
  // The entry goes on under `line` with the count it has.
  void refiledAs(EntryLine line, int count) { counts_.emplace(std::move(line), count); }

 private:
  std::multimap<EntryLine, int> counts_;
};

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
  LaunchCounts launchCounts;
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
      const int launchCount = launchCounts.launched(line);
      if (const std::optional<ScheduleEntry> next = refiled(entry, launchCount, checkTime)) {
        const int row = store.fileEntry(*next);
        launchCounts.refiledAs(store.line(static_cast<std::size_t>(row)), launchCount);
      }
    }
    store.reloadFirstDue();
  }
  return launches;
}

}  // namespace kv
