// The due check run on every timer tick.
#pragma once

#include "engine/launcher.h"
#include "schedule/schedule_store.h"

namespace kv {

// Launches every entry whose start is not after checkTime, in due order,
// once each, however far behind it is, and re-files it under its first
// occurrence after checkTime or drops it; a repeating entry stays whether
// its launch succeeded or failed. Each attempt goes to the log, when there
// is one, with the process to watch, and so does each entry dealt with up
// to checkTime. With skipWhileRunning (and a log), an entry whose previous
// start still runs is not started again: the log records it skipped, and it
// is re-filed as after a start. Safe to re-enter from the shell call and
// the failure report. Returns the number of launches attempted.
int runDueCheck(ScheduleStore& store, Shell& shell, FailureReporter& reporter, Time checkTime,
                LaunchLog* log = nullptr, bool skipWhileRunning = false);

}  // namespace kv
