// Handing an accepted entry to the store, and putting an entry under edit
// back, so that running out of memory never leaves the schedule half changed.
#pragma once

#include <optional>
#include <string>

#include "schedule/schedule_store.h"

namespace kv {

// The two rows of an entry taken out of the store for editing, as they were.
struct SavedRowPair {
  EntryLine line;
  std::string displayRow;
};

// Takes the selected row out of the store (and reloads the first-due entry);
// empty without a selection.
std::optional<SavedRowPair> takeOutSelected(ScheduleStore& store);

// Puts a saved pair back in due order and reloads the first-due entry.
// False when memory ran out on the way.
bool putBack(ScheduleStore& store, const SavedRowPair& saved) noexcept;

// Files the entry, reloads the first-due entry and marks the schedule
// changed. When memory runs out the store is left as it was, an entry under
// edit is put back, and the answer is false.
bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry,
                       const SavedRowPair* underEdit) noexcept;

}  // namespace kv
