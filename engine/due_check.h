// The due check run on every timer tick.
#pragma once

#include "engine/launcher.h"
#include "schedule/schedule_store.h"

namespace kv {

// Launches every entry whose start is not after checkTime, in due order,
// once each, however far behind it is, and re-files it under its first
// occurrence after checkTime or drops it; a repeating entry stays whether
// its launch succeeded or failed. Each attempt goes to the log, when there
// is one, and so does each entry dealt with up to checkTime. Safe to re-enter from the shell call
// and the failure report. Returns the number of launches attempted.
int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime,
                LaunchLog* log = nullptr);

}  // namespace kv
