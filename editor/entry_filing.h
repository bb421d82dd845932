// Taking an entry out of the store for editing, handing an accepted entry to
// the store, and putting an entry under edit back, so that running out of
// memory never leaves the schedule half changed.
#pragma once

#include "schedule/schedule_store.h"

namespace kv {

// Holds the selected entry out of the store (and reloads the first-due
// entry); false without a selection. A save meanwhile still writes it.
bool takeOutSelected(ScheduleStore& store);

// Puts the held-out entry back in due order, as it was, selected again, and
// reloads the first-due entry; without one nothing changes. False when
// memory ran out on the way: the entry is then still held out, so a save
// keeps it.
bool putBack(ScheduleStore& store) noexcept;

// Files the entry, selects its row, reloads the first-due entry and marks
// the schedule changed; an edited entry takes the place of the one held
// out. When memory runs out the store is left as it was, an entry under
// edit is put back, and the answer is false.
bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry) noexcept;

}  // namespace kv
