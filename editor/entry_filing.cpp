#include "editor/entry_filing.h"

#include <new>

namespace kv {

bool takeOutSelected(ScheduleStore& store) {
  const std::optional<int> row = store.selectedRow();
  return row && store.holdOut(*row);
}

bool putBack(ScheduleStore& store) noexcept {
  try {
    // Add's Cancel comes here too, with nothing held out: the selection
    // stays where it was.
    const int row = store.restoreHeldOut();
    if (row >= 0) store.selectRow(row);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry) noexcept {
  int row = -1;
  try {
    row = store.fileEntry(entry);
  } catch (const std::bad_alloc&) {
    putBack(store);
    return false;
  }
  store.releaseHeldOut();
  store.markChanged();
  store.selectRow(row);
  return true;
}

}  // namespace kv
