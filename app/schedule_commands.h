// What the commands that change the schedule ask, and what they do with
// the answer, apart from Windows.
#pragma once

#include <string>

#include "schedule/message_boxes.h"
#include "schedule/schedule_store.h"

namespace kv {

inline constexpr const char* kDeleteQuestion = "Are you sure you want to delete this entry?";

// Delete: asks, and on Yes removes the selected entry, reloading the
// first-due entry when it was the top row, selects the row that took its
// place and marks the schedule changed. True when it was removed.
bool deleteSelectedAfterAsking(ScheduleStore& store, MessageBoxes& boxes);

// A dropped file whose path a command line cannot hold is refused in a box;
// true when its Add dialog may open.
bool acceptDroppedPath(const std::string& path, MessageBoxes& boxes);

}  // namespace kv
