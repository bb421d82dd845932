// The due check run on every timer tick.
#pragma once

#include "engine/launcher.h"
#include "schedule/schedule_store.h"

namespace kv {

// Most launches of one entry in one due check; an entry further behind is
// filed under its first occurrence after the check time.
inline constexpr int kMaxLaunchesPerCheck = 10;

// Launches every entry whose start is not after checkTime, in due order,
// re-filing or dropping each. Safe to re-enter from the failure report.
// Returns the number of launches attempted.
int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime);

}  // namespace kv
