#include "editor/entry_filing.h"

#include <new>

namespace kv {

bool takeOutSelected(ScheduleStore& store) {
  const std::optional<int> row = store.selectedRow();
  if (!row || !store.holdOut(*row)) return false;
  try {
    store.reloadFirstDue();
  } catch (const std::bad_alloc&) {
    putBack(store);
    throw;
  }
  return true;
}

bool putBack(ScheduleStore& store) noexcept {
  try {
    store.restoreHeldOut();
    store.reloadFirstDue();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry) noexcept {
  try {
    const int row = store.fileEntry(entry);
    try {
      store.reloadFirstDue();
    } catch (const std::bad_alloc&) {
      // The first-due entry is still that of the store without the new row.
      store.removeRow(row);
      throw;
    }
    store.releaseHeldOut();
    store.markChanged();
    return true;
  } catch (const std::bad_alloc&) {
    putBack(store);
    return false;
  }
}

}  // namespace kv
